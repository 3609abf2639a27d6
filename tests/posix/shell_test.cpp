// The POSIX shell: launchers (never over a file; 255 bytes a name, whatever its script) and
// xdg-open, not waited for. Where the desktop is: user_folders_test.cpp.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "setup/shortcut_maker.h"
#include "support/fault_injection.h"
#include "support/repeat.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

using test::Repeat;

// Titled with the file's name, as the shortcut maker titles a name that needs no cut.
HResult Save(const std::string& file, const std::string& target, const std::string& icon = "") {
    const std::string name = std::filesystem::path(file).stem().string();
    return SaveShortcut(file.c_str(), name.c_str(), target.c_str(), icon.c_str());
}

TEST(PosixShell, NoLauncherOverAFileNorWithTextALauncherCannotHold) {
    test::TempDir dir;
    const std::string file = dir.Write("livre.desktop", "someone else's");
    EXPECT_LT(Save(file, "/tmp/livre/index.html"), 0);
    EXPECT_EQ("someone else's", dir.Read("livre.desktop"));
    EXPECT_LT(Save(dir.File("l.desktop"), ""), 0);
    // Malformed, overlong, surrogates, past U+10FFFF, controls (C0, DEL, C1), in each place.
    for (const std::string bad : {"\xC3", "a\xC3(b", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
                                  "\x80", "\x1F", "\x7F", "\xC2\x80", "\xC2\x9F"}) {
        SCOPED_TRACE(testing::PrintToString(bad));
        EXPECT_LT(Save(dir.File("l.desktop"), bad), 0);
        EXPECT_LT(Save(dir.File("l.desktop"), "/t", bad), 0);
        EXPECT_LT(Save(dir.File(bad + ".desktop"), "/t"), 0);
    }
    // A write that fails part way (here at the file-size limit) leaves no launcher behind.
    const auto handler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &limit));
    const rlimit small{16, limit.rlim_max};
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    EXPECT_LT(Save(dir.File("cut.desktop"), "/tmp/livre/index.html"), 0);
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, handler);
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
    // Their neighbours; the first three-byte and four-byte forms; the last code point.
    for (const std::string good : {"\xC2\xA0", "~", "\xED\x9F\xBF", "\xEE\x80\x80", "\xE0\xA0\x80",
                                   "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_EQ(0, Save(dir.File(good + ".desktop"), "/" + good, "/" + good)) << good;
    }
}

// The quoting a launcher's readers undo, blanks around a name they would drop, a relative icon
// made absolute (desktop-file-validate and GLib read every other character: the e2e story).
TEST(PosixShell, LauncherText) {
    test::TempDir dir;
    const mode_t mask = ::umask(027);
    EXPECT_EQ(0, Save(dir.File(" l'ivre .desktop"), "/\"q\" 100% $H `id` a\\b", "i\\c"));
    ::umask(mask);
    EXPECT_EQ(
        "[Desktop Entry]\nType=Application\nName=\\sl'ivre\\s\n"
        "Exec=xdg-open \"/\\\\\"q\\\\\" 100%% \\\\$H \\\\`id\\\\` a/b\"\nIcon=" +
            std::filesystem::current_path().string() + "/i/c\n",
        dir.Read(" l'ivre .desktop"));
    const auto mode = std::filesystem::status(dir.File(" l'ivre .desktop")).permissions();
    EXPECT_EQ(0750, static_cast<int>(mode)) << "executable, as far as the umask lets it";
}

TEST(PosixShell, OpenWithShellStartsXdgOpenInASessionOfItsOwnAndDoesNotWait) {
    test::SavedEnvironment saved{"PATH"};
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    test::TempDir dir;
    // The opener writes into a FIFO read only once the call is back, which a call that waited
    // for it would never be. It tells its arguments, streams, pid, session and signal masks.
    const std::string record = dir.File("record");
    ASSERT_EQ(0, ::mkfifo(record.c_str(), 0600));
    dir.Write("xdg-open",
              "#!/bin/sh\nread -r pid _ _ _ _ session _ </proc/$$/stat\n"
              "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2 | paste -sd'|')\n"
              "{ printf '%s|%s|%s\\n' \"$#\" \"$1\" \"$streams\"; echo $pid $session;\n"
              "grep -E '^Sig(Blk|Ign)' /proc/$$/status | tr -s '\\t\\n' '  '; } >" +
                  record,
              0755);
    setenv("PATH", (dir.Path().string() + ":" + path).c_str(), 1);
    // A shell would split at the blank, expand $HOME and stop at the semicolon.
    const std::string book = dir.File("mon livre \"l'été\" $HOME;x.html");
    // What the program ignores or blocks must be back at its default in the opener.
    const auto pipe_handler = ::signal(SIGPIPE, SIG_IGN);
    sigset_t usr1, mask;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &usr1, &mask);
    ASSERT_TRUE(OpenWithShell(book.c_str()));
    ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
    ::signal(SIGPIPE, pipe_handler);
    std::istringstream heard(dir.Read("record"));
    std::string line, label;
    pid_t opener = 0, session = 0;
    unsigned long long blocked_bits = 0, ignored_bits = 0;
    ASSERT_TRUE(std::getline(heard, line) >> opener >> session >> label >> std::hex >>
                blocked_bits >> label >> ignored_bits)
        << heard.str();
    // None of this process's streams: a caller reading its output sees the end of it when the
    // run ends, not when the opener (or the browser it runs) does.
    EXPECT_EQ("1|" + book + "|/dev/null|/dev/null|/dev/null", line);
    EXPECT_EQ(opener, session) << "a session of its own";
    EXPECT_EQ(0u, blocked_bits & (1ull << (SIGUSR1 - 1))) << heard.str();
    EXPECT_EQ(0u, ignored_bits & (1ull << (SIGPIPE - 1))) << heard.str();
    // Its own child: nothing in between that a process with threads would have forked.
    int status = 0;
    EXPECT_EQ(opener, ::waitpid(opener, &status, 0));

    EXPECT_FALSE(OpenWithShell(""));
    EXPECT_FALSE(OpenWithShell(nullptr));
    fault::FailCall("open document");
    EXPECT_FALSE(OpenWithShell(book.c_str()));
    fault::Reset();
    setenv("PATH", dir.File("none").c_str(), 1);
    EXPECT_FALSE(OpenWithShell(book.c_str())) << "no xdg-open";
}

TEST(PosixNameRule, NamesAndTheirLimits) {
    const std::string chinese = "\xE4\xB9\xA6";  // three bytes
    for (const std::string name : std::initializer_list<std::string>{
             "nul.livre.desktop", "CON", "a\\b", std::string(255, 'n'), Repeat(chinese, 85)}) {
        EXPECT_EQ(files::NameRule::kFile, files::CheckName(("/tmp/" + name).c_str())) << name;
    }
    for (const std::string name : {std::string(256, 'n'), Repeat(chinese, 86)})
        EXPECT_EQ(files::NameRule::kTooLong, files::CheckName(("/tmp/" + name).c_str())) << name;
    const std::string deep = "/" + Repeat(std::string(200, 'd') + "/", 21) + "n";
    EXPECT_EQ(files::NameRule::kTooLong, files::CheckName(deep.c_str())) << "over PATH_MAX";
    for (const char* path : {"/tmp/m/", "/tmp/..", "/tmp/.", "/tmp/a\nb", ""})
        EXPECT_EQ(files::NameRule::kNever, files::CheckName(path)) << path;
}

TEST(PosixNameRule, ALongNameInAnyScriptGetsItsLauncherTitledWhole) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string();
    const std::string name = Repeat("\xE4\xB9\xA6", 90);  // 270 bytes
    EXPECT_EQ(0, MakeOpenShortcut(folder.c_str(), "/livre/index.html", name.c_str(), ""));
    EXPECT_EQ(0, MakeOpenShortcut(folder.c_str(), "/livre/index.html", name.c_str(), ""));
    // 82 characters and ".desktop" fit 255 bytes; the numbered form takes 81.
    const std::string first = Repeat("\xE4\xB9\xA6", 82) + ".desktop";
    const std::string second = Repeat("\xE4\xB9\xA6", 81) + " (0).desktop";
    EXPECT_NE(std::string::npos, dir.Read(first).find("\nName=" + name + "\n"));
    EXPECT_NE(std::string::npos, dir.Read(second).find("\nName=" + name + " (0)\n"));
}

}  // namespace
}  // namespace wbh::platform::shell
