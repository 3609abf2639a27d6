// Trying the displays named by the environment before GTK is given one: GDK waits for ever on
// a display that accepts the connection and then says nothing (a stale forwarded display).
// Compiled into the program, which tries them while the windows' module loads, and into the
// module (see cmake/platform-posix.cmake).
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {

// Whether an environment variable names something: set, and not empty (as GDK reads
// DISPLAY and WAYLAND_DISPLAY).
bool Named(const char* variable);

// Long enough for a display across a slow link to take a connection, short enough that a
// reader waiting for a window is not left wondering.
inline constexpr int kDisplayAnswerMs = 5000;

// The displays named by the environment, each tried on a thread of its own while the caller
// goes on (loading GTK). The maker loads each display's library, which GTK loads too; a thread
// then only connects. A display that has not answered `deadline_ms` after the probe was made is
// a "no", and its thread is left waiting on it until the process ends. A display that answered
// keeps the probe's connection until the probe is destroyed (one that answers after that, until
// the process ends): an X server left without clients resets, and refuses connections
// meanwhile, so GTK must open its own first.
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
    struct Answers;  // what the threads tell

    std::chrono::steady_clock::time_point deadline_;
    std::shared_ptr<Answers> answers_;
    int tries_ = 0;  // the displays being tried, one thread each
    mutable std::optional<std::string> backends_;
};

}  // namespace wbh::platform::posix
