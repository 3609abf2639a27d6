// Where the program's dialogs open: at the centre of the primary screen, at their own size.
#pragma once

#include "platform/dialog.h"

namespace wbh {

// Moves the dialog so that it is centred on the primary screen, keeping its size. Nothing is
// clamped: a dialog larger than the screen gets a negative position.
void CenterDialogOnScreen(platform::Dialog& dialog);

}  // namespace wbh
