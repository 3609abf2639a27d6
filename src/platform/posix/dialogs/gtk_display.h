// The display that the GTK windows are shown on: opened only once it has answered. Its loss
// ends the window's process (window_process.h), quietly.
#pragma once

#include "platform/posix/dialogs/display_probe.h"

namespace wbh::platform::gtk {

// The displays that a probe of the caller's found answering (DisplayProbe::Backends), which it
// holds until the process ends: SessionOpen then opens one of those rather than trying them
// again. Takes effect only before SessionOpen's first call.
void UseDisplays(const char* backends);

// Whether a graphical session is open: WAYLAND_DISPLAY or DISPLAY is set, names a display that
// answers within a few seconds (kDisplayAnswerMs), and GTK opens it (quietly: a display that
// cannot be opened is only a "no"). Probed once per process, as GTK opens its display once. The
// loss of the display ends the process, from GDK while GTK opens it (with its message), quietly
// from then on.
bool SessionOpen();

using posix::DisplayProbe;

}  // namespace wbh::platform::gtk
