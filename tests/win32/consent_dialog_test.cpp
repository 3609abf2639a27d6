// The real consent dialog from the real template, driven from a second thread as a reader would
// drive it. (Its answers and buttons in whole runs of the program: tests/e2e/setup_test.sh.)
#include "consent/consent_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/win32/module.h"
#include "support/dialog_driving.h"
#include "support/registry_sandbox.h"
#include "support/with_dialog.h"

namespace wbh {
namespace {

using namespace consent_dialog;

// The consent dialog, counting the IDCANCEL commands it hears.
class CountingConsentDialog : public ConsentDialog {
public:
    using ConsentDialog::ConsentDialog;
    void OnCommand(platform::Dialog& dialog, int id, int code) override {
        if (id == IDCANCEL) ++cancels;
        ConsentDialog::OnCommand(dialog, id, code);
    }
    std::atomic<int> cancels{0};
};

TEST(ConsentDialogWin32, FirstRunByMouseAndKeyboard) {
    platform::win32::Instance() = GetModuleHandleW(nullptr);
    platform::win32::Module() = GetModuleHandleW(nullptr);
    const test::RegistrySandbox sandbox;
    std::int32_t accepted = 0;
    CountingConsentDialog handler(accepted);
    long result = 0;
    const auto run = [&] { result = platform::RunModalDialog(kTemplate, handler); };
    test::WithDialog(
        L"Utilisation du livre Web et confidentialité", kContinue, run, [&](HWND dialog) {
            wchar_t notice[4096];
            const int length = LoadStringW(GetModuleHandleW(nullptr), kNoticeString, notice, 4096);
            EXPECT_GT(length, 1000);
            EXPECT_EQ(std::wstring(notice, length), test::TextOf(dialog, kNotice));
            RECT rect{};
            GetWindowRect(dialog, &rect);
            EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
            EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);
            // The notice has the focus, shows its first line and has nothing selected.
            HWND notice_box = GetDlgItem(dialog, kNotice);
            DWORD start = 1, end = 1;
            EXPECT_TRUE(test::WaitUntil([&] {
                SendMessageW(notice_box, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end));
                return start == 0 && end == 0;
            })) << start
                << " to " << end << " selected";
            EXPECT_EQ(notice_box, test::Focused(dialog));
            EXPECT_EQ(0, SendMessageW(notice_box, EM_GETFIRSTVISIBLELINE, 0, 0));

            // Enter on the disabled "Continuer" does nothing; Escape and the close box send
            // IDCANCEL, which leaves the dialog open.
            test::PressKey(dialog, VK_RETURN);
            test::PressKey(dialog, VK_ESCAPE);
            ASSERT_TRUE(test::WaitUntil([&] { return handler.cancels == 1; }));
            SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            ASSERT_TRUE(test::WaitUntil([&] { return handler.cancels == 2; }));
            EXPECT_TRUE(IsWindow(dialog));

            // Tab goes to the answers, and the arrow keys go from one to the other.
            test::PressKey(dialog, VK_TAB);
            EXPECT_TRUE(test::WaitUntil(
                [&] { return test::Focused(dialog) == GetDlgItem(dialog, kAccept); }));
            EXPECT_FALSE(test::IsChecked(dialog, kAccept)) << "the focus alone answered";
            EXPECT_FALSE(test::IsEnabled(dialog, kContinue));
            test::PressKey(dialog, VK_DOWN);
            EXPECT_TRUE(test::WaitUntil(
                [&] { return test::Focused(dialog) == GetDlgItem(dialog, kRefuse); }));

            test::Click(dialog, kAccept);
            test::PressKey(dialog, VK_RETURN);
            EXPECT_TRUE(test::WaitUntilClosed(dialog));
        });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, accepted);
}

}  // namespace
}  // namespace wbh
