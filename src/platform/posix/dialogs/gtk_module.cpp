// The windows' module's entry points (window_module.h): the displays that answered the
// program's probe, then the dialog as a GTK window on one of them.
#include "platform/posix/dialogs/gtk_dialog.h"
#include "platform/posix/dialogs/window_module.h"

namespace wp = wbh::platform;

extern "C" __attribute__((visibility("default"))) long wbh_run_window_dialog(
    const wp::DialogTemplate* layout, wp::DialogHandler* handler) {
    if (!wp::gtk::SessionOpen(*layout)) return wp::posix::kNoWindow;
    return wp::gtk::RunWindowDialog(*layout, *handler);
}

extern "C" __attribute__((visibility("default"))) void wbh_use_displays(const char* backends) {
    wp::gtk::UseDisplays(backends);
}

// Of the types the program calls them by.
[[maybe_unused]] constexpr wp::posix::RunWindowDialogFunction kEntry = wbh_run_window_dialog;
[[maybe_unused]] constexpr wp::posix::UseDisplaysFunction kDisplays = wbh_use_displays;
