// The display that the GTK windows are shown on: opened only once it has answered. Its loss
// ends the window's process (window_process.h), quietly.
#pragma once

#include <sys/types.h>

#include <string>

namespace wbh::platform::gtk {

// Whether a graphical session is open: WAYLAND_DISPLAY or DISPLAY is set, names a display that
// answers within a few seconds, and GTK opens it (quietly: a display that cannot be opened is
// only a "no"). Probed once per process, as GTK opens its display once. The loss of the display
// ends the process, from GDK while GTK opens it (with its message), quietly from then on.
bool SessionOpen();

// The displays named by the environment, each tried in a child process of its own, which is
// killed at `deadline_ms`: a display that accepts the connection and then says nothing (a stale
// forwarded display) would otherwise hold the run for ever. A child whose display answered keeps
// its connection until the probe is destroyed (or the program ends): an X server left without
// clients resets, and refuses connections meanwhile, so GTK must open its own first.
class DisplayProbe {
public:
    explicit DisplayProbe(int deadline_ms);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // GDK's backends whose display answered, in GDK's order of preference, as
    // gdk_set_allowed_backends takes them: "wayland" when WAYLAND_DISPLAY is set (and
    // XDG_RUNTIME_DIR, as GDK needs) and the compositor answers a round trip, "x11" when DISPLAY
    // is set and the X server accepts the connection. Empty when none answered.
    const std::string& Backends() const { return backends_; }

private:
    int release_ = -1;  // the answering children read its end of file, then let go
    pid_t held_[2] = {-1, -1};
    std::string backends_;
};

}  // namespace wbh::platform::gtk
