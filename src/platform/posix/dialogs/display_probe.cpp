// The displays tried in children of their own, which load the one display library they need:
// forked before GTK is loaded, a child costs little to make, and the process that made it loads
// GTK meanwhile.
#include "platform/posix/dialogs/display_probe.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace wbh::platform::posix {
namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A function of a library that the child loads for itself, and never lets go of.
void* Symbol(const char* library, const char* name) {
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr ? dlsym(handle, name) : nullptr;
}

// In the child: whether the display takes a connection, as GDK will open it (through the
// libraries GDK is linked with). The connection is never closed: the child holds it.
bool WaylandAnswers() {
    const auto connect = reinterpret_cast<void* (*)(const char*)>(
        Symbol("libwayland-client.so.0", "wl_display_connect"));
    const auto roundtrip = reinterpret_cast<int (*)(void*)>(
        Symbol("libwayland-client.so.0", "wl_display_roundtrip"));
    if (connect == nullptr || roundtrip == nullptr) return false;
    void* display = connect(nullptr);
    return display != nullptr && roundtrip(display) >= 0;
}
bool X11Answers() {
    const auto open = reinterpret_cast<void* (*)(const char*)>(
        Symbol("libX11.so.6", "XOpenDisplay"));
    return open != nullptr && open(nullptr) != nullptr;
}

void Reap(pid_t child) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

DisplayProbe::DisplayProbe(int deadline_ms)
    : deadline_(Clock::now() + std::chrono::milliseconds(deadline_ms)) {
    int release[2];
    if (pipe2(release, O_CLOEXEC) != 0) {
        collected_ = true;
        return;
    }
    const UniqueFd release_end(release[0]);
    release_ = UniqueFd(release[1]);
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    const struct {
        const char* backend;
        bool named;
        bool (*answers)();
    } displays[] = {
        {"wayland", Set("WAYLAND_DISPLAY") && Set("XDG_RUNTIME_DIR"), WaylandAnswers},
        {"x11", Set("DISPLAY"), X11Answers},
    };
    for (const auto& display : displays) {
        if (!display.named) continue;
        // One byte on the pipe when the display answered; the pipe's end without it is a "no".
        Try& probe = tries_[count_++];
        probe.backend = display.backend;
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) continue;
        UniqueFd read_end(ends[0]);
        const UniqueFd write_end(ends[1]);
        const pid_t parent = getpid();
        probe.child = fork();
        if (probe.child == 0) {
            // A probe waiting on a silent display would otherwise outlive the process that made
            // it, and keep whatever that process holds open.
            if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(1);
            // Only the maker holds the release's writing end: its end of file comes when the
            // maker lets go, or ends in any way.
            close(release[1]);
            // _exit: nothing of the parent's (buffered output, exit handlers) runs a second time.
            const char yes = 1;
            if (!display.answers() || write(write_end.Get(), &yes, 1) != 1) _exit(1);
            char byte;
            while (read(release[0], &byte, 1) < 0 && errno == EINTR) {
            }
            _exit(0);
        }
        if (probe.child > 0) probe.answer = std::move(read_end);
    }
}

// Takes the answers that come before the deadline; a child still silent then is killed. Every
// child that did not answer is waited for; those that did are the destructor's.
void DisplayProbe::Collect() const {
    collected_ = true;
    for (;;) {
        pollfd waiting[2];
        Try* of[2];
        nfds_t n = 0;
        for (int i = 0; i < count_; ++i) {
            if (!tries_[i].answer.Valid()) continue;
            waiting[n] = {tries_[i].answer.Get(), POLLIN, 0};
            of[n++] = &tries_[i];
        }
        const auto left_ms =
            std::chrono::ceil<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (n == 0 || left_ms <= 0) break;
        if (poll(waiting, n, static_cast<int>(left_ms)) < 0 && errno != EINTR) break;
        for (nfds_t i = 0; i < n; ++i) {
            if (waiting[i].revents == 0) continue;
            char byte = 0;
            of[i]->answered = read(waiting[i].fd, &byte, 1) == 1;
            of[i]->answer = UniqueFd();
        }
    }
    for (int i = 0; i < count_; ++i) {
        Try& probe = tries_[i];
        if (probe.answer.Valid()) {
            kill(probe.child, SIGKILL);
            probe.answer = UniqueFd();
        }
        if (probe.answered) {
            if (!backends_.empty()) backends_ += ',';
            backends_ += probe.backend;
        } else if (probe.child > 0) {
            Reap(probe.child);
            probe.child = -1;
        }
    }
}

const std::string& DisplayProbe::Backends() const {
    if (!collected_) Collect();
    return backends_;
}

DisplayProbe::~DisplayProbe() {
    // Not asked for: no answer is waited for.
    for (int i = 0; i < count_; ++i) {
        if (tries_[i].answer.Valid()) kill(tries_[i].child, SIGKILL);
    }
    release_ = UniqueFd();
    for (int i = 0; i < count_; ++i) {
        if (tries_[i].child > 0) Reap(tries_[i].child);
    }
}

}  // namespace wbh::platform::posix
