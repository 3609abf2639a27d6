#include "platform/posix/dialogs/display_probe.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace wbh::platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// In the child: a function of a display's client library, the one GDK loads.
void* Function(const char* library, const char* name) {
    void* loaded = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    return loaded != nullptr ? dlsym(loaded, name) : nullptr;
}

// In the child: whether the display takes a connection, as GDK will open it.
bool WaylandAnswers() {
    const auto connect = reinterpret_cast<void* (*)(const char*)>(
        Function("libwayland-client.so.0", "wl_display_connect"));
    const auto roundtrip = reinterpret_cast<int (*)(void*)>(
        Function("libwayland-client.so.0", "wl_display_roundtrip"));
    if (connect == nullptr || roundtrip == nullptr) return false;
    void* display = connect(nullptr);
    return display != nullptr && roundtrip(display) >= 0;
}
bool X11Answers() {
    const auto open =
        reinterpret_cast<void* (*)(const char*)>(Function("libX11.so.6", "XOpenDisplay"));
    return open != nullptr && open(nullptr) != nullptr;
}

void Reap(pid_t child) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

// A child writes one byte on its pipe when its display answered and then holds its connection
// until the release pipe's end: the pipe's end without the byte is a "no".
void DisplayProbe::Start(Child& child, const char* backend, bool (*answers)()) {
    child.backend = backend;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    UniqueFd read_end(ends[0]);
    const UniqueFd write_end(ends[1]);
    child.pid = fork();
    if (child.pid == 0) {
        // Only the program holds the release's writing end: its end of file comes when the
        // program lets go, or ends in any way.
        release_.Close();
        // _exit: nothing of the parent's (buffered output, exit handlers) runs a second time.
        const char yes = 1;
        if (!answers() || write(write_end.Get(), &yes, 1) != 1) _exit(1);
        char byte;
        while (read(held_.Get(), &byte, 1) < 0 && errno == EINTR) {
        }
        _exit(0);
    }
    if (child.pid > 0) child.answer = std::move(read_end);
}

DisplayProbe::DisplayProbe(int deadline_ms)
    : deadline_(Clock::now() + std::chrono::milliseconds(deadline_ms)) {
    int release[2];
    if (pipe2(release, O_CLOEXEC) != 0) return;
    held_ = UniqueFd(release[0]);
    release_ = UniqueFd(release[1]);
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    if (Set("WAYLAND_DISPLAY") && Set("XDG_RUNTIME_DIR")) {
        Start(children_[count_++], "wayland", WaylandAnswers);
    }
    if (Set("DISPLAY")) Start(children_[count_++], "x11", X11Answers);
    // Only the children read the release pipe.
    held_ = UniqueFd();
}

DisplayProbe::~DisplayProbe() { Release(); }

// Takes the answers that come before the deadline; a child still silent then is killed. Every
// child that did not answer is waited for; those that did hold their connection until Release.
const char* DisplayProbe::Backends() {
    if (collected_) return backends_.c_str();
    collected_ = true;
    for (;;) {
        pollfd waiting[2];
        Child* of[2];
        nfds_t n = 0;
        for (int i = 0; i < count_; ++i) {
            if (!children_[i].answer.Valid()) continue;
            waiting[n] = {children_[i].answer.Get(), POLLIN, 0};
            of[n++] = &children_[i];
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (n == 0 || left <= 0) break;
        if (poll(waiting, n, static_cast<int>(left)) < 0 && errno != EINTR) break;
        for (nfds_t i = 0; i < n; ++i) {
            if (waiting[i].revents == 0) continue;
            char byte = 0;
            of[i]->answered = read(waiting[i].fd, &byte, 1) == 1;
            of[i]->answer = UniqueFd();
        }
    }
    for (int i = 0; i < count_; ++i) {
        Child& child = children_[i];
        if (child.answered) {
            if (!backends_.empty()) backends_ += ',';
            backends_ += child.backend;
        } else if (child.pid > 0) {
            if (child.answer.Valid()) kill(child.pid, SIGKILL);
            Reap(std::exchange(child.pid, -1));
        }
    }
    return backends_.c_str();
}

// The children still there either answered (they end at the release's end of file) or were
// never asked for their answers (they are killed).
void DisplayProbe::Release() {
    release_ = UniqueFd();
    for (int i = 0; i < count_; ++i) {
        Child& child = children_[i];
        if (child.pid <= 0) continue;
        if (!child.answered) kill(child.pid, SIGKILL);
        Reap(std::exchange(child.pid, -1));
    }
}

}  // namespace wbh::platform::posix
