// The display that the GTK windows are shown on: opened only once it has answered. Its loss
// ends the window's process (window_process.h), quietly.
#pragma once

#include <gtk/gtk.h>

#include "platform/portable/resource_script.h"
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
// from then on. The fonts, and the font of `first` (the first window's), are loaded on another
// core meanwhile.
bool SessionOpen(const DialogTemplate& first);

// The font options that GTK 3 gives the screen once it has read its theme, from the display's
// settings as GtkSettings reads them (anti-aliasing, hinting, subpixel order). A settings.ini
// that sets them is not read here: the first window's font is then loaded for nothing.
cairo_font_options_t* ExpectedFontOptions(GdkScreen* screen);

using posix::DisplayProbe;

}  // namespace wbh::platform::gtk
