// The windows' module's entry point (window_module.h): the display opened once it has
// answered, then the dialog as a GTK window.
#include "platform/posix/dialogs/gtk_dialog.h"
#include "platform/posix/dialogs/window_module.h"

namespace wp = wbh::platform;

extern "C" __attribute__((visibility("default"))) long wbh_run_window_dialog(
    const wp::DialogTemplate* layout, wp::DialogHandler* handler) {
    if (!wp::gtk::SessionOpen()) return wp::posix::kNoWindow;
    return wp::gtk::RunWindowDialog(*layout, *handler);
}

// Of the type the program calls it by.
[[maybe_unused]] constexpr wp::posix::RunWindowDialogFunction kEntry = wbh_run_window_dialog;
