// The finish dialog's behaviour, the same on every toolkit.
#include "setup/finish_dialog.h"

#include <string_view>

#include "common/utf8.h"
#include "dialogs/center_dialog.h"
#include "platform/shell.h"
#include "setup/setup_flow.h"
#include "setup/shortcut_maker.h"

namespace wbh {

using namespace finish_dialog;

void SetDesktopShortcutChoice(platform::Dialog& dialog, int state, const char* name) {
    dialog.Check(kDesktopShortcut, state == 1);
    dialog.Enable(kShortcutNameLabel, state == 1);
    dialog.Enable(kShortcutName, state == 1);
    dialog.SetText(kShortcutName, name);
}

void SetOpenNowChoice(platform::Dialog& dialog, int state) { dialog.Check(kOpenNow, state == 1); }

int OpenBook(const char* path) {
    if (path[0] == '\0') return 0;
    BoundedText<260> copy;
    if (!copy.Assign(path)) return 0;
    return platform::shell::OpenWithShell(copy.CStr()) ? 1 : 0;
}

void FinishDialog::OnInit(platform::Dialog& dialog) {
    SetDesktopShortcutChoice(dialog, 1, p_.desktopshortcutname.CStr());
    SetOpenNowChoice(dialog, 1);
    CenterDialogOnScreen(dialog);
}

void FinishDialog::OnCommand(platform::Dialog& dialog, int id, int code) {
    if (code != platform::kClicked) return;
    SetupParameters& p = p_;
    if (id == kFinish) {
        if (dialog.IsChecked(kDesktopShortcut)) {
            using Name = decltype(p.desktopshortcutname);
            char name[Name::kBufferSize];
            dialog.GetText(kShortcutName, name, sizeof name);
            const std::string_view typed(name);
            // A longer name is cut, between whole characters.
            p.desktopshortcutname.Assign(
                typed.substr(0, utf8::Prefix(typed, Name::kCapacity, typed.size())));
            MakeDesktopShortcut(p.targetfullpath.CStr(), p.desktopshortcutname.CStr(),
                                p.iconfullpath.CStr());
        }
        if (dialog.IsChecked(kOpenNow)) OpenBook(p.targetfullpath.CStr());
        dialog.End(1);
    } else if (id == kDesktopShortcut) {
        SetDesktopShortcutChoice(dialog, dialog.IsChecked(kDesktopShortcut) ? 1 : 0,
                                 p.desktopshortcutname.CStr());
    } else if (id == kOpenNow) {
        SetOpenNowChoice(dialog, dialog.IsChecked(kOpenNow) ? 1 : 0);
    }
    // Anything else, IDCANCEL from Escape or the close box among them, leaves the dialog open.
}

int ShowFinishDialog(SetupParameters& p) {
    FinishDialog handler(p);
    platform::RunModalDialog(kTemplate, handler);
    return 1;
}

}  // namespace wbh
