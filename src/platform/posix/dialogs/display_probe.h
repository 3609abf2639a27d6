// Trying the displays named by the environment before GTK is given one: GDK waits for ever on
// a display that accepts the connection and then says nothing (a stale forwarded display).
// Compiled into the program, which tries them while the windows' module loads, and into the
// module (see cmake/platform-posix.cmake).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {

// Long enough for a display across a slow link to take a connection, short enough that a
// reader waiting for a window is not left wondering.
inline constexpr int kDisplayAnswerMs = 5000;

// The displays named by the environment, each tried in a child process of its own, which is
// killed at `deadline_ms` after the probe was made: the caller goes on meanwhile (the tries
// need no more of this process than its display libraries, which the children load for
// themselves). A child whose display answered keeps its connection until the probe is
// destroyed (or the program ends): an X server left without clients resets, and refuses
// connections meanwhile, so GTK must open its own first.
class DisplayProbe {
public:
    explicit DisplayProbe(int deadline_ms);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // GDK's backends whose display answered, in GDK's order of preference, as
    // gdk_set_allowed_backends takes them: "wayland" when WAYLAND_DISPLAY is set (and
    // XDG_RUNTIME_DIR, as GDK needs) and the compositor answers a round trip, "x11" when DISPLAY
    // is set and the X server accepts the connection. Empty when none answered. The first call
    // waits for the answers, until the deadline at most.
    const std::string& Backends() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Try {
        const char* backend = nullptr;
        pid_t child = -1;
        UniqueFd answer;  // the child's pipe, until it has answered or the deadline has passed
        bool answered = false;
    };
    void Collect() const;

    Clock::time_point deadline_;
    UniqueFd release_;  // the answering children read its end of file, then let go
    mutable Try tries_[2];
    mutable int count_ = 0;
    mutable bool collected_ = false;
    mutable std::string backends_;
};

}  // namespace wbh::platform::posix
