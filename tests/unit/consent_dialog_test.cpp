// The consent dialog's logic on a fake dialog (the real Win32 one: tests/win32/dialogs_test.cpp).
#include "consent/consent_dialog.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/resources.h"
#include "store/store_layout.h"
#include "support/fake_dialog.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
using namespace consent_dialog;

TEST(ConsentDialogTest, OpensWithTheNoticeAndTheLastAnswerAndSetsItOnContinue) {
    const struct {
        const char* name;
        std::optional<std::string> stored;  // LastReaderTrack's bytes, REG_DWORD
        bool accept, refuse;                // checked when the dialog opens
        std::int32_t accepted;              // the answer after "Continuer" at once
    } rows[] = {
        {"first run", std::nullopt, false, false, 7},  // 7: the answer before, kept
        {"neither 0 nor 1", std::string("\x05\0\0\0", 4), true, true, 1},
        {"a single zero byte", std::string(1, '\0'), false, true, 0},
        {"an empty value", std::string(), true, false, 1},
    };
    char notice[4096];
    // Cut between whole characters: 32 bytes would end inside "apprêtez"'s "ê".
    EXPECT_EQ(31, platform::LoadText(kNoticeString, notice, 33));
    ASSERT_GT(platform::LoadText(kNoticeString, notice, sizeof notice), 1000);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const test::RegistrySandbox fresh;
        if (row.stored) {
            ASSERT_TRUE(test::Store(reg::Root::kCurrentUser, store::kReferralsKey,
                                    store::kLastReaderTrackValue, {reg::kTypeDword, *row.stored}));
        }
        test::FakeDialog dialog({kContinue, kNotice, kAccept, kRefuse});
        std::int32_t accepted = 7;
        ConsentDialog handler(accepted);
        handler.OnInit(dialog);
        EXPECT_EQ(row.accept, dialog.controls[kAccept].checked);
        EXPECT_EQ(row.refuse, dialog.controls[kRefuse].checked);
        EXPECT_EQ(row.accept || row.refuse, dialog.controls[kContinue].enabled);
        EXPECT_EQ(1u, dialog.moves.size()) << "centred";
        EXPECT_EQ(notice, dialog.controls[kNotice].text);
        EXPECT_EQ(row.accept ? kAccept : row.refuse ? kRefuse : kNotice, dialog.focused);

        handler.OnCommand(dialog, kContinue, platform::kClicked);
        EXPECT_EQ(1, dialog.ended.value_or(-1));
        EXPECT_EQ(row.accepted, accepted);
    }
}

}  // namespace
}  // namespace wbh
