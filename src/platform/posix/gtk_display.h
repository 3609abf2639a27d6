// The display that the GTK windows are shown on: opened only once it has answered.
#pragma once

#include <string>

namespace wbh::platform::gtk {

// Whether a graphical session is open: WAYLAND_DISPLAY or DISPLAY is set, names a display that
// answers within a few seconds, and GTK opens it (quietly: a display that cannot be opened is
// only a "no"). Probed once per process, as GTK opens its display once.
bool SessionOpen();

// GDK's backends whose display answered within `deadline_ms`, in GDK's order of preference, as
// gdk_set_allowed_backends takes them: "wayland" when WAYLAND_DISPLAY is set (and
// XDG_RUNTIME_DIR, as GDK needs) and the compositor answers a round trip, "x11" when DISPLAY is
// set and the X server accepts the connection.
// Empty when none answered. Each display is tried in a child process of its own, which is
// killed at the deadline: a display that accepts the connection and then says nothing (a stale
// forwarded display) would otherwise hold the run for ever.
std::string AnsweringBackends(int deadline_ms);

}  // namespace wbh::platform::gtk
