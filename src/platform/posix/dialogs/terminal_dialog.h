// The POSIX stand-in for the program's modal dialogs: the dialog made from its template is
// shown as text, and the reader acts on it one line at a time:
//   a number   clicks that choice: the buttons and editable boxes other than the default
//              button, numbered from 1 in template order; for a box, the next line becomes
//              its text (only while it is enabled)
//   empty      presses the default button, if it is enabled
//   other      nothing, as the Escape key: IDCANCEL goes to the handler
// End of input ends the dialog with no effect, as a dialog that could not be made.
#pragma once

#include <cstdio>

#include "platform/dialog.h"
#include "platform/portable/resource_script.h"

namespace wbh::platform {

// Runs the dialog on `in` and `out`; returns the result given to End, or -1 when the input
// ended first.
long RunTerminalDialog(const DialogTemplate& layout, DialogHandler& handler, std::FILE* in,
                       std::FILE* out);

}  // namespace wbh::platform
