// The exchange between the program and its window's process: fixed-size messages, each a kind,
// four numbers and a text of a stated length, checked before anything of it is used. The
// program is single-threaded and has loaded no GTK when it forks, so the child may start GTK.
#include "platform/posix/dialogs/window_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/no_throw.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {
namespace {

enum class Kind : std::uint32_t {
    // From the window's process: the handler's two messages, a reply, the window's end.
    kInit = 1,
    kCommand,
    kReply,
    kResult,
    // From the program, while its handler runs: the Dialog calls, then the handler's return.
    kCheck,
    kIsChecked,
    kEnable,
    kSetText,
    kGetText,
    kEnd,
    kBounds,
    kScreen,
    kMove,
    kFocus,
    kDone,
};

struct Header {
    std::uint32_t kind;
    std::int32_t values[4];
    std::uint32_t length;  // of the text that follows
};

// Texts go both ways (the notice, the name box's text); longer ones are cut here by the
// program, and refused as a broken exchange from the window's process.
constexpr std::uint32_t kLongestText = 1u << 20;

struct Message {
    Kind kind;
    std::int32_t values[4];
    std::string text;
};

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

using Clock = std::chrono::steady_clock;

// False at the end of the stream too: the other side is gone; and when the bytes have not all
// come by `deadline` (none: no limit).
bool ReadAll(int fd, char* data, std::size_t size, std::optional<Clock::time_point> deadline) {
    while (size > 0) {
        if (deadline) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            pollfd waiting{fd, POLLIN, 0};
            const int ready = left > 0 ? poll(&waiting, 1, static_cast<int>(left)) : 0;
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return false;
        }
        const ssize_t got = read(fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool Send(int fd, Kind kind, std::initializer_list<int> values, std::string_view text = {}) {
    Header header{};
    header.kind = static_cast<std::uint32_t>(kind);
    int* value = header.values;
    for (const int v : values) *value++ = v;
    header.length = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), kLongestText));
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(text.data(), header.length);
    return SendAll(fd, bytes.data(), bytes.size());
}

// Waits for the message at most `wait_ms` milliseconds, without limit when negative.
bool Receive(int fd, Message& message, int wait_ms = -1) {
    std::optional<Clock::time_point> deadline;
    if (wait_ms >= 0) deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
    Header header;
    if (!ReadAll(fd, reinterpret_cast<char*>(&header), sizeof header, deadline)) return false;
    if (header.kind < static_cast<std::uint32_t>(Kind::kInit) ||
        header.kind > static_cast<std::uint32_t>(Kind::kDone) || header.length > kLongestText) {
        return false;
    }
    message.kind = static_cast<Kind>(header.kind);
    std::memcpy(message.values, header.values, sizeof header.values);
    message.text.assign(header.length, '\0');
    return ReadAll(fd, message.text.data(), header.length, deadline);
}

// In the window's process. Whatever goes wrong here ends the process: the program then ends
// the dialog as one that closed without an answer.
[[noreturn]] void Leave() { _exit(1); }

// The handler as the window's process sees it: each message goes to the program, whose
// handler's Dialog calls come back to be carried out on the window until it has returned.
class ForwardingHandler final : public DialogHandler {
public:
    explicit ForwardingHandler(int fd) : fd_(fd) {}

    void OnInit(Dialog& dialog) override { Forward(dialog, Kind::kInit, 0, 0); }
    void OnCommand(Dialog& dialog, int id, int code) override {
        Forward(dialog, Kind::kCommand, id, code);
    }

private:
    void Forward(Dialog& dialog, Kind kind, int id, int code) {
        if (!Send(fd_, kind, {id, code})) Leave();
        Message message;
        while (Receive(fd_, message)) {
            if (message.kind == Kind::kDone) return;
            if (!CarryOut(dialog, message)) break;
        }
        Leave();
    }

    bool CarryOut(Dialog& dialog, const Message& message) {
        const std::int32_t* v = message.values;
        switch (message.kind) {
            case Kind::kCheck:
                dialog.Check(v[0], v[1] != 0);
                return true;
            case Kind::kIsChecked:
                return Send(fd_, Kind::kReply, {dialog.IsChecked(v[0]) ? 1 : 0});
            case Kind::kEnable:
                dialog.Enable(v[0], v[1] != 0);
                return true;
            case Kind::kSetText:
                dialog.SetText(v[0], message.text.c_str());
                return true;
            case Kind::kGetText: {
                if (v[1] <= 0 || static_cast<std::uint32_t>(v[1]) > kLongestText) return false;
                std::string text(static_cast<std::size_t>(v[1]), '\0');
                const int copied = dialog.GetText(v[0], text.data(), v[1]);
                if (copied < 0 || copied >= v[1]) return false;
                text.resize(static_cast<std::size_t>(copied));
                return Send(fd_, Kind::kReply, {copied}, text);
            }
            case Kind::kEnd:
                dialog.End(v[0]);
                return true;
            case Kind::kBounds: {
                const WindowRect r = dialog.Bounds();
                return Send(fd_, Kind::kReply, {r.left, r.top, r.right, r.bottom});
            }
            case Kind::kScreen: {
                const ScreenSize s = dialog.Screen();
                return Send(fd_, Kind::kReply, {s.width, s.height});
            }
            case Kind::kMove:
                dialog.Move(v[0], v[1], v[2], v[3]);
                return true;
            case Kind::kFocus:
                dialog.Focus(v[0]);
                return true;
            default:
                return false;
        }
    }

    int fd_;
};

[[noreturn]] void RunChild(int fd, const DialogTemplate& layout,
                           RunWindowDialogFunction (*load)()) {
    long result = kNoWindow;
    // An exit call in the toolkit ends here, first of the exit handlers: the program's own (its
    // registry's, its buffered output) are the program's, not this copy's, to run.
    if (std::atexit(Leave) == 0) {
        if (const RunWindowDialogFunction entry = load()) {
            ForwardingHandler forwarding(fd);
            result = entry(&layout, &forwarding);
        }
    }
    Send(fd, Kind::kResult, {static_cast<int>(result)});
    _exit(0);
}

// The handler's Dialog in the program: each call is carried out by the window's process. Once
// the exchange has broken, calls do nothing and questions get the answers of a dialog with
// nothing checked and no text.
class RemoteDialog final : public Dialog {
public:
    RemoteDialog(int fd, int answer_ms) : fd_(fd), answer_ms_(answer_ms) {}

    void Check(int id, bool checked) override { Tell(Kind::kCheck, {id, checked ? 1 : 0}); }
    bool IsChecked(int id) override {
        Message reply;
        return Ask(Kind::kIsChecked, {id}, reply) && reply.values[0] != 0;
    }
    void Enable(int id, bool enabled) override { Tell(Kind::kEnable, {id, enabled ? 1 : 0}); }
    void SetText(int id, const char* text) override { Tell(Kind::kSetText, {id}, text); }
    int GetText(int id, char* buffer, int size) override {
        if (size <= 0) return 0;
        buffer[0] = '\0';
        const int asked = static_cast<int>(std::min<std::uint32_t>(size, kLongestText));
        Message reply;
        if (!Ask(Kind::kGetText, {id, asked}, reply)) return 0;
        const std::size_t length = reply.text.size();
        if (length >= static_cast<std::size_t>(asked) ||
            reply.values[0] != static_cast<int>(length)) {
            broken_ = true;
            return 0;
        }
        std::memcpy(buffer, reply.text.data(), length);
        buffer[length] = '\0';
        return static_cast<int>(length);
    }
    void End(int result) override {
        if (!ended_) result_ = result;
        ended_ = true;
        Tell(Kind::kEnd, {result});
    }
    WindowRect Bounds() override {
        Message reply;
        if (!Ask(Kind::kBounds, {}, reply)) return {0, 0, 0, 0};
        return {reply.values[0], reply.values[1], reply.values[2], reply.values[3]};
    }
    ScreenSize Screen() override {
        Message reply;
        if (!Ask(Kind::kScreen, {}, reply)) return {0, 0};
        return {reply.values[0], reply.values[1]};
    }
    void Move(int x, int y, int width, int height) override {
        Tell(Kind::kMove, {x, y, width, height});
    }
    void Focus(int id) override { Tell(Kind::kFocus, {id}); }

    // The handler has returned: the window's process goes back to its window.
    bool Done() { return Tell(Kind::kDone, {}); }
    bool Broken() const { return broken_; }
    // The result of a dialog whose window went before it ended.
    long Abandoned() const { return ended_ ? result_ : -1; }

private:
    bool Tell(Kind kind, std::initializer_list<int> values, std::string_view text = {}) {
        if (!broken_ && !Send(fd_, kind, values, text)) broken_ = true;
        return !broken_;
    }
    bool Ask(Kind kind, std::initializer_list<int> values, Message& reply) {
        if (Tell(kind, values) &&
            (!Receive(fd_, reply, answer_ms_) || reply.kind != Kind::kReply)) {
            broken_ = true;
        }
        return !broken_;
    }

    int fd_;
    int answer_ms_;
    bool broken_ = false;
    bool ended_ = false;
    int result_ = -1;
};

// The window's process, killed (it has nothing left to do once it has told its result, or is
// no longer heard) and reaped on every way out.
class ChildProcess {
public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ~ChildProcess() {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

private:
    pid_t pid_;
};

// Runs a handler call; one that runs out of memory ends the dialog as one that failed.
template <typename Call>
void Tell(RemoteDialog& dialog, Call&& call) {
    if (!NoThrow(false, [&] {
            call();
            return true;
        })) {
        dialog.End(-1);
    }
}

}  // namespace

long RunWindowProcess(const DialogTemplate& layout, DialogHandler& handler,
                      RunWindowDialogFunction (*load)(), int answer_ms) {
    int ends[2];
    // Close-on-exec: no program that the handler starts (the book's opener) keeps the
    // window's process heard after it has gone.
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return kNoWindow;
    UniqueFd ours(ends[0]);
    UniqueFd theirs(ends[1]);
    const pid_t program = getpid();
    const pid_t pid = Sys().fork();
    if (pid < 0) return kNoWindow;
    if (pid == 0) {
        // It dies with the program, whichever way the program ends.
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != program) _exit(1);
        close(ends[0]);
        RunChild(ends[1], layout, load);
    }
    const ChildProcess child(pid);
    // The child's end is then its own alone: its end of file comes when the child ends.
    theirs = UniqueFd();
    RemoteDialog dialog(ours.Get(), answer_ms);
    // The program's own reads (a store to open) while the window's process loads GTK. Out of
    // memory, OnInit reads for itself.
    NoThrow(false, [&] {
        handler.OnPrepare();
        return true;
    });
    bool initialised = false;
    Message message;
    // Once the window is shown, the reader takes the time it takes.
    while (!dialog.Broken() && Receive(ours.Get(), message, initialised ? -1 : answer_ms)) {
        if (message.kind == Kind::kResult) {
            // After a handler call the terminal must not make the dialog a second time.
            const long result = message.values[0];
            return result == kNoWindow && initialised ? -1 : result;
        }
        if (message.kind == Kind::kInit && !initialised) {
            Tell(dialog, [&] { handler.OnInit(dialog); });
            initialised = true;
        } else if (message.kind == Kind::kCommand && initialised) {
            Tell(dialog, [&] { handler.OnCommand(dialog, message.values[0], message.values[1]); });
        } else {
            break;
        }
        dialog.Done();
    }
    return dialog.Abandoned();
}

}  // namespace wbh::platform::posix
