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

// The displays that the program tried while it loaded the module (display_probe.h).
class DisplaysFound {
public:
    // GDK's backends whose display answered, as gdk_set_allowed_backends takes them; empty
    // when none did.
    virtual const char* Backends() = 0;
    // GTK has opened its own connection: the ones that tried the displays may go.
    virtual void Release() = 0;

protected:
    ~DisplaysFound() = default;
};

// The entry point: runs the dialog as a window on one of `displays` (GTK's result: End's, or
// -1), or returns kNoWindow.
using RunWindowDialogFunction = long (*)(const DialogTemplate* layout, DialogHandler* handler,
                                         DisplaysFound* displays);

// Runs the dialog as a window through the module, loaded once per process; kNoWindow when no
// display is named in the environment (nothing to load GTK for), none answers, or the module
// cannot be loaded (absent, or GTK missing on the machine).
long ShowWindowDialog(const DialogTemplate& layout, DialogHandler& handler);

}  // namespace wbh::platform::posix
