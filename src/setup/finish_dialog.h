// The finish dialog (template 101): offers a desktop shortcut under a name the reader may edit,
// and opening the book at once, both preselected. "Terminer", the only way out, does what is
// still checked: the shortcut first, then opening the book.
#pragma once

#include "platform/dialog.h"
#include "setup/setup_flow.h"

namespace wbh {

namespace finish_dialog {
inline constexpr int kTemplate = 101;
inline constexpr int kFinish = 1;  // IDOK, the default button "Terminer"
inline constexpr int kShortcutGroup = 1003;
inline constexpr int kDesktopShortcut = 1004;
inline constexpr int kShortcutName = 1005;
inline constexpr int kShortcutNameLabel = 1006;
inline constexpr int kOpenNow = 1007;
inline constexpr int kBrowserGroup = 1008;
}  // namespace finish_dialog

// Checks or unchecks the desktop shortcut choice, enables the name row with it, and puts the
// stored desktopshortcutname `name` back into the name box (in both states).
void SetDesktopShortcutChoice(platform::Dialog& dialog, int state, const char* name);
void SetOpenNowChoice(platform::Dialog& dialog, int state);

// Asks the shell to open `path` with its associated application, in a hidden-window show
// request. 1 when the shell reports success; 0 on failure or for an empty path.
int OpenBook(const char* path);

// The dialog procedure, over the setup's parameters: "Terminer" keeps the name box's text as
// desktopshortcutname.
class FinishDialog : public platform::DialogHandler {
public:
    explicit FinishDialog(SetupParameters& p) : p_(p) {}
    void OnInit(platform::Dialog& dialog) override;
    void OnCommand(platform::Dialog& dialog, int id, int code) override;

private:
    SetupParameters& p_;
};

// Runs the dialog modally. Returns 1, also when the dialog could not be made.
int ShowFinishDialog(SetupParameters& p);

}  // namespace wbh
