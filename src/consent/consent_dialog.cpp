// The consent dialog's behaviour, the same on every toolkit.
#include "consent/consent_dialog.h"

#include <cstdint>
#include <optional>

#include "dialogs/center_dialog.h"
#include "platform/resources.h"
#include "store/referrals.h"

namespace wbh {

using namespace consent_dialog;

void ShowPrivacyNotice(platform::Dialog& dialog) {
    char notice[4096];
    if (platform::LoadText(kNoticeString, notice, sizeof notice) == 0) notice[0] = '\0';
    dialog.SetText(kNotice, notice);
}

void PreselectAnswer(platform::Dialog& dialog, std::optional<std::uint32_t> stored) {
    dialog.Check(kAccept, stored && *stored != 0);
    dialog.Check(kRefuse, stored && *stored != 1);
}

void UpdateContinueButton(platform::Dialog& dialog) {
    dialog.Enable(kContinue, dialog.IsChecked(kAccept) || dialog.IsChecked(kRefuse));
}

namespace {

// The keyboard starts on the stored answer. With none, it starts in the notice, which shows its
// first line: an answer given the focus could check itself, answering for the reader.
void FocusFirst(platform::Dialog& dialog) {
    if (dialog.IsChecked(kAccept)) {
        dialog.Focus(kAccept);
    } else if (dialog.IsChecked(kRefuse)) {
        dialog.Focus(kRefuse);
    } else {
        dialog.Focus(kNotice);
    }
}

}  // namespace

void ConsentDialog::OnPrepare() {
    stored_answer_ = store::ReadLastAnswer();
    prepared_ = true;
}

void ConsentDialog::OnInit(platform::Dialog& dialog) {
    ShowPrivacyNotice(dialog);
    if (!prepared_) OnPrepare();
    PreselectAnswer(dialog, stored_answer_);
    UpdateContinueButton(dialog);
    CenterDialogOnScreen(dialog);
    FocusFirst(dialog);
}

void ConsentDialog::OnCommand(platform::Dialog& dialog, int id, int code) {
    if (code != platform::kClicked) return;
    if (id == kContinue) {
        // The accept button is looked at first: both checked (a stored answer other than 0
        // and 1) counts as acceptance. Neither checked leaves the answer as it was.
        if (dialog.IsChecked(kAccept)) {
            reader_accepted_ = 1;
        } else if (dialog.IsChecked(kRefuse)) {
            reader_accepted_ = 0;
        }
        dialog.End(1);
    } else if (id == kAccept || id == kRefuse) {
        UpdateContinueButton(dialog);
    }
    // Anything else, IDCANCEL from Escape or the close box among them, leaves the dialog open.
}

const char* ConsentDialog::UnavailableHint(int id) const {
    return id == kContinue ? "choisissez d'abord une réponse" : nullptr;
}

int ShowConsentDialog(std::int32_t& reader_accepted) {
    ConsentDialog handler(reader_accepted);
    platform::RunModalDialog(kTemplate, handler);
    return 1;
}

}  // namespace wbh
