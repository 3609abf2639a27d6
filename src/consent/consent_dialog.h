// The privacy consent dialog (template 100): the notice, the question and the two answers.
// It preselects the answer last given in any book and gives the reader's answer on
// "Continuer", the only way out.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/dialog.h"

namespace wbh {

namespace consent_dialog {
inline constexpr int kTemplate = 100;
inline constexpr unsigned kNoticeString = 1500;
inline constexpr int kContinue = 1;  // IDOK, the default button
inline constexpr int kNotice = 1000;
inline constexpr int kAccept = 1001;
inline constexpr int kRefuse = 1002;
}  // namespace consent_dialog

// Puts string 1500 into the notice box (the empty text when it is missing).
void ShowPrivacyNotice(platform::Dialog& dialog);
// Checks `stored`, the answer stored as LastReaderTrack; a value other than 0 and 1 checks both,
// and a missing or unreadable one (none) checks neither.
void PreselectAnswer(platform::Dialog& dialog, std::optional<std::uint32_t> stored);
// "Continuer" can be pressed only while an answer is checked.
void UpdateContinueButton(platform::Dialog& dialog);

// The dialog procedure. "Continuer" sets `reader_accepted` to 1 or 0.
class ConsentDialog : public platform::DialogHandler {
public:
    explicit ConsentDialog(std::int32_t& reader_accepted) : reader_accepted_(reader_accepted) {}
    // Reads the stored answer.
    void OnPrepare() override;
    void OnInit(platform::Dialog& dialog) override;
    void OnCommand(platform::Dialog& dialog, int id, int code) override;
    const char* UnavailableHint(int id) const override;

private:
    std::int32_t& reader_accepted_;
    bool prepared_ = false;
    std::optional<std::uint32_t> stored_answer_;
};

// Runs the dialog modally. Returns 1, also when the dialog could not be made:
// `reader_accepted` then keeps its value.
int ShowConsentDialog(std::int32_t& reader_accepted);

}  // namespace wbh
