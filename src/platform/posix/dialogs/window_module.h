// The GTK windows live in a module of the program (webbook-helper-gtk.so beside it), opened
// only when a dialog is about to be shown on a display: GTK and the display libraries load some
// seventy shared libraries, which every run would otherwise pay for, windows or not. The module
// has one C entry point; the program and the module are built together, so the types it takes
// are the program's own.
#pragma once

#include "platform/dialog.h"
#include "platform/portable/resource_script.h"

namespace wbh::platform::posix {

// The module's file name, looked for in the program's own folder.
inline constexpr const char kWindowModuleName[] = "webbook-helper-gtk.so";
// The entry point's name, and what it returns when no display could be opened: the dialog is
// then the terminal's.
inline constexpr const char kWindowModuleEntry[] = "wbh_run_window_dialog";
inline constexpr long kNoWindow = -2;

// Runs the dialog as a window (GTK's result: End's, or -1), or returns kNoWindow.
using RunWindowDialogFunction = long (*)(const DialogTemplate* layout, DialogHandler* handler);

// The module's entry point, loaded once per process; null when no display is named in the
// environment (nothing to load GTK for) or the module cannot be loaded (absent, or GTK missing
// on the machine).
RunWindowDialogFunction WindowModule();

}  // namespace wbh::platform::posix
