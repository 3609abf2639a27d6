// The GTK windows live in a module of the program (webbook-helper-gtk.so beside it), opened
// only in the window's own process (window_process.h), when a dialog is about to be shown on a
// display: GTK and the display libraries load some seventy shared libraries, which every run
// would otherwise pay for, windows or not. The module has one C entry point; the program and
// the module are built together, so the types it takes are the program's own.
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
// The name of the call that gives the module the displays that answered the program's probe
// (DisplayProbe::Backends), before the entry point's first call.
inline constexpr const char kWindowModuleDisplays[] = "wbh_use_displays";

// Runs the dialog as a window (GTK's result: End's, or -1), or returns kNoWindow.
using RunWindowDialogFunction = long (*)(const DialogTemplate* layout, DialogHandler* handler);
using UseDisplaysFunction = void (*)(const char* backends);

// Whether the environment names a display (WAYLAND_DISPLAY or DISPLAY): without one there is
// nothing to load GTK for.
bool DisplayNamed();

// Loads the module and returns its entry point; null when it cannot be loaded (absent, or GTK
// missing on the machine). The displays are tried meanwhile (display_probe.h), and the probe
// holds those that answered until the process ends. GTK cannot be unloaded once started: only
// the window's process calls this.
RunWindowDialogFunction LoadWindowModule();

}  // namespace wbh::platform::posix
