// The dialog's window in a child process running a scripted stand-in for the windows' module:
// the handler's calls and their answers, and the documented result whatever the child does.
#include "platform/posix/dialogs/window_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>

#include "support/fake_dialog.h"

namespace wbh::platform {
namespace {

// The child's script, set before the fork: "init", "click:ID", "abort", "exit", "hang", "nowindow",
// "corrupt" (a message of no kind), then End's result; "crash", "stall": asked about 666, it dies
// or never answers.
const char* g_script = "";

// The child's window: the first End stays, as a window's; it is where it was last moved.
struct FakeWindow final : test::FakeDialog {
    FakeWindow() : FakeDialog({666, 1000, 1001, 1002, 1005}) {}
    bool IsChecked(int id) override {
        if (id == 666 && std::strstr(g_script, "crash")) std::abort();
        if (id == 666 && std::strstr(g_script, "stall")) pause();
        return FakeDialog::IsChecked(id);
    }
    void End(int value) override {
        if (!ended) ended = value;
    }
    WindowRect Bounds() override { return moves.empty() ? bounds : moves.back(); }
};

// A pipe that the program's own exit handler writes to: never from the child.
int g_witness[2] = {-1, -1};
void ProgramExitHandler() { (void)!write(g_witness[1], "x", 1); }

long ScriptedWindow(const DialogTemplate*, DialogHandler* handler) {
    FakeWindow window;
    std::istringstream words(g_script);
    for (std::string word; words >> word;) {
        if (word == "init") handler->OnInit(window);
        if (word.rfind("click:", 0) == 0) handler->OnCommand(window, std::stoi(word.substr(6)), 0);
        if (word == "abort") std::abort();
        if (word == "exit") std::exit(0);
        if (word == "hang") pause();
        if (word == "nowindow") return posix::kNoWindow;
        const char header[24] = {};  // a message's header: to the exchange, the child's socket
        struct stat st;
        for (int fd = 3; word == "corrupt" && fd < 1024; ++fd)
            if (fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode)) (void)!write(fd, header, 24);
    }
    return window.ended.value_or(-1);
}
posix::RunWindowDialogFunction LoadScripted() { return ScriptedWindow; }

// Sets what it then asks back; clicks on 1 end the dialog with 1, on 9 run out of memory.
struct Asking : DialogHandler {
    void OnInit(Dialog& dialog) override {
        dialog.Check(1001, true);
        heard << "init " << dialog.IsChecked(1001) << dialog.IsChecked(666)
              << dialog.IsChecked(1002);
        dialog.SetText(1005, "Mon livre");
        dialog.Move(5, 6, 70, 80);
        char text[4] = "###";
        heard << " " << dialog.GetText(1005, text, sizeof text) << text;
        heard << dialog.GetText(1002, text, sizeof text) << text;
        const WindowRect r = dialog.Bounds();
        const ScreenSize s = dialog.Screen();
        heard << " " << r.left << "," << r.top << "," << r.right << "," << r.bottom << " "
              << s.width << "x" << s.height;
        // Texts beyond the exchange's limit (a mebibyte) are cut, not refused.
        dialog.SetText(1000, std::string((1 << 20) + 9, 'n').c_str());
        std::string notice((1 << 20) + 9, '#');
        heard << " " << dialog.GetText(1000, notice.data(), (1 << 20) + 9) << "; ";
    }
    void OnCommand(Dialog& dialog, int id, int code) override {
        heard << id << ":" << code << "; ";
        if (id == 9) throw std::bad_alloc();
        if (id == 1) dialog.End(1);
    }
    std::ostringstream heard;
};

TEST(WindowProcess, ForwardsTheHandlersCallsAndEndsAsDocumentedWhateverTheChildDoes) {
    const std::string init = "init 100 3Mon0 5,6,75,86 1024x768 1048575; ";
    const struct {
        const char* script;
        long result;
        std::string heard;
    } rows[] = {
        {"init click:1000 click:1", 1, init + "1000:0; 1:0; "},
        {"click:1", -1, ""},  // out of order: the program stops listening, the child is killed
        {"exit", -1, ""},
        {"init nowindow", -1, init},  // never the terminal once the handler has been told
        {"init click:1 abort", 1, init + "1:0; "},  // End was called: the answer was taken
        {"init click:9 click:1", -1, init + "9:0; 1:0; "},
        {"init click:1000 corrupt click:1", -1, init + "1000:0; "},
        // After a crash or a stall (no answer in the time given): nothing checked, no text, no
        // rectangles; and no window in the time given.
        {"crash init click:1", -1, "init 100 00 0,0,0,0 0x0 0; "},
        {"stall init click:1", -1, "init 100 00 0,0,0,0 0x0 0; "},
        {"hang", -1, ""},
    };
    ASSERT_EQ(0, std::atexit(ProgramExitHandler));
    ASSERT_EQ(0, pipe2(g_witness, O_NONBLOCK));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        g_script = row.script;
        Asking handler;
        // Long enough for a scripted child on a busy machine; the two stalling rows wait it out.
        EXPECT_EQ(row.result, posix::RunWindowProcess({}, handler, LoadScripted, 4000));
        EXPECT_EQ(row.heard, handler.heard.str());
        char byte;
        EXPECT_EQ(-1, read(g_witness[0], &byte, 1)) << "the program's exit handler ran in a child";
        EXPECT_TRUE(waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD)
            << "a child left unreaped";
    }
}

}  // namespace
}  // namespace wbh::platform
