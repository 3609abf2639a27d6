// The dialog's window runs in a child process of its own, which alone loads GTK: a display cut
// while GTK opens it, a crash in GTK or in a graphics driver, or an exit call in the toolkit
// ends that process, never the run. The handler stays in the program: the child tells it of
// the window's messages over a socket, and carries out its Dialog calls on the window.
#pragma once

#include "platform/dialog.h"
#include "platform/portable/resource_script.h"
#include "platform/posix/dialogs/window_module.h"

namespace wbh::platform::posix {

// Runs the dialog as a window in a child process, whose windows' entry point is what `load`
// returns there (null: no windows). Returns End's result, or kNoWindow when the child could not
// open a window before any handler call (or no child could be made): the dialog is then the
// terminal's. A child that ends or breaks the exchange at any other moment ends the dialog as
// one that closed without an answer: -1, or End's result when the handler had already called
// End. So does one that has not opened its window, or has not answered one of the handler's
// questions, within `answer_ms` milliseconds: a display can stop answering after it has been
// tried. The child is bound to this process: it is killed when the exchange ends or breaks, or
// when this process ends, and it is always reaped before the call returns.
long RunWindowProcess(const DialogTemplate& layout, DialogHandler& handler,
                      RunWindowDialogFunction (*load)(), int answer_ms);

}  // namespace wbh::platform::posix
