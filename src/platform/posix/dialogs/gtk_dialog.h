// The program's modal dialogs as GTK 3 windows, for a graphical desktop: the window made from
// the template (gtk_template_window.h) with the behaviour of a Win32 dialog, driven by the same
// DialogHandler as everywhere. RunModalDialog chooses these windows or the terminal.
#pragma once

#include "platform/dialog.h"
#include "platform/portable/resource_script.h"
#include "platform/posix/dialogs/gtk_display.h"

namespace wbh::platform::gtk {

// Runs the dialog modally as a window; returns the result given to End, or -1 when the window
// went before End (destroyed from outside) or the handler ran out of memory. The display's loss
// ends the process (gtk_display.h).
long RunWindowDialog(const DialogTemplate& layout, DialogHandler& handler);

}  // namespace wbh::platform::gtk
