// The real consent dialog from the real template, driven by messages from a second thread as a
// user would drive it: answers clicked, keys pressed, states read back. (Whole runs of the
// program and the registry they leave are tests/e2e/consent_test.sh.)
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "consent/consent_dialog.h"
#include "consent/consent_flow.h"
#include "platform/win32/module.h"
#include "support/dialog_driving.h"
#include "support/registry_sandbox.h"
#include "support/with_dialog.h"

namespace wbh {
namespace {

using namespace consent_dialog;
constexpr wchar_t kCaption[] = L"Utilisation du livre Web et confidentialité";

void WithDialog(const std::function<void()>& run, const std::function<void(HWND)>& drive) {
    test::WithDialog(kCaption, kContinue, run, drive);
}

// The consent dialog, with every click it hears recorded (notifications of the notice box,
// such as its focus changes, left out).
class RecordingConsentDialog : public ConsentDialog {
public:
    explicit RecordingConsentDialog(std::int32_t& accepted) : ConsentDialog(accepted) {}
    void OnCommand(platform::Dialog& dialog, int id, int code) override {
        if (code == BN_CLICKED) {
            std::lock_guard<std::mutex> lock(mutex_);
            commands_.push_back({id, code});
        }
        ConsentDialog::OnCommand(dialog, id, code);
    }
    std::vector<std::pair<int, int>> Commands() {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_;
    }
    // Waits until `count` commands have been heard.
    bool WaitFor(std::size_t count) {
        return test::WaitUntil([&] { return Commands().size() >= count; });
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<int, int>> commands_;
};

class ConsentDialogWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        platform::win32::Instance() = GetModuleHandleW(nullptr);
        platform::win32::Module() = GetModuleHandleW(nullptr);
    }
    test::RegistrySandbox sandbox_;
};

TEST_F(ConsentDialogWin32, FirstRunByMouseAndKeyboard) {
    std::int32_t accepted = 0;
    RecordingConsentDialog handler(accepted);
    long result = 0;
    WithDialog([&] { result = platform::RunModalDialog(kTemplate, handler); },
               [&](HWND dialog) {
                   // Nothing stored: no answer, "Continuer" disabled, the notice shown whole.
                   EXPECT_FALSE(test::IsChecked(dialog, kAccept));
                   EXPECT_FALSE(test::IsChecked(dialog, kRefuse));
                   EXPECT_FALSE(test::IsEnabled(dialog, kContinue));
                   wchar_t notice[4096];
                   const int length = LoadStringW(GetModuleHandleW(nullptr), kNoticeString,
                                                  notice, 4096);
                   EXPECT_GT(length, 1000);
                   EXPECT_EQ(std::wstring(notice, length), test::TextOf(dialog, kNotice));

                   // Centred on the screen, at the template's size.
                   RECT rect{};
                   GetWindowRect(dialog, &rect);
                   EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2,
                             rect.left);
                   EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2,
                             rect.top);

                   // Enter on a disabled "Continuer" sends nothing; Escape, the close box and
                   // Alt+F4 send IDCANCEL, and neither that nor IDCANCEL itself closes.
                   test::PressKey(dialog, VK_RETURN);
                   test::PressKey(dialog, VK_ESCAPE);
                   ASSERT_TRUE(handler.WaitFor(1));
                   SendMessageW(dialog, WM_CLOSE, 0, 0);
                   SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                   SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                   ASSERT_TRUE(handler.WaitFor(4));
                   for (const auto& command : handler.Commands()) {
                       EXPECT_EQ(IDCANCEL, command.first);
                   }
                   EXPECT_TRUE(IsWindow(dialog));

                   // The answers form one group, and either enables "Continuer".
                   test::Click(dialog, kRefuse);
                   EXPECT_TRUE(test::IsChecked(dialog, kRefuse));
                   EXPECT_TRUE(test::IsEnabled(dialog, kContinue));
                   test::Click(dialog, kAccept);
                   EXPECT_TRUE(test::IsChecked(dialog, kAccept));
                   EXPECT_FALSE(test::IsChecked(dialog, kRefuse));

                   test::PressKey(dialog, VK_RETURN);
                   EXPECT_TRUE(test::WaitUntilClosed(dialog));
               });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, accepted);
    const auto commands = handler.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(std::make_pair(kContinue, 0), commands.back());
}

}  // namespace
}  // namespace wbh
