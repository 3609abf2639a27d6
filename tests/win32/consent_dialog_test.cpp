// The real consent dialog from the real template, driven from a second thread as a reader would
// drive it. (Its answers in whole runs of the program: tests/e2e/folder_names_test.sh.)
#include "consent/consent_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <new>
#include <string>
#include <utility>

#include "consent/consent_flow.h"
#include "platform/win32/module.h"
#include "store/store_layout.h"
#include "support/dialog_driving.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/with_dialog.h"

namespace wbh {
namespace {

using namespace consent_dialog;
namespace reg = platform::registry;

constexpr wchar_t kCaption[] = L"Utilisation du livre Web et confidentialité";

// An edit box's selection: its start and end.
std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 1, end = 1;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}
constexpr std::pair<DWORD, DWORD> kNothingSelected{0, 0};

// Whether the keyboard focus reaches the control (by id, or the window itself) in time.
bool FocusReaches(HWND dialog, HWND control) {
    return test::WaitUntil([&] { return test::Focused(dialog) == control; });
}
bool FocusReaches(HWND dialog, int id) { return FocusReaches(dialog, GetDlgItem(dialog, id)); }

// Each test's dialogs from this program's resources, with the program's keys removed.
class ConsentDialogWin32 : public testing::Test {
protected:
    void SetUp() override {
        platform::win32::Instance() = GetModuleHandleW(nullptr);
        platform::win32::Module() = GetModuleHandleW(nullptr);
    }
    const test::RegistrySandbox sandbox_;
};

// The first run, by keyboard and mouse. The notice shows its first line with nothing selected
// whenever it gets the focus, also from the dialog manager, which selects an edit box's whole
// text and so scrolls to its end; a click places the caret where it was.
TEST_F(ConsentDialogWin32, FirstRunByMouseAndKeyboard) {
    std::int32_t accepted = 0;
    ConsentDialog handler(accepted);
    long result = 0;
    const auto run = [&] { result = platform::RunModalDialog(kTemplate, handler); };
    test::WithDialog(kCaption, kContinue, run, [&](HWND dialog) {
        wchar_t text[4096];
        const int length = LoadStringW(GetModuleHandleW(nullptr), kNoticeString, text, 4096);
        EXPECT_GT(length, 1000);
        EXPECT_EQ(std::wstring(text, length), test::TextOf(dialog, kNotice));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
        EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);
        HWND notice = GetDlgItem(dialog, kNotice);
        const auto expect_start = [&](const char* how) {
            EXPECT_TRUE(test::WaitUntil([&] { return Selection(notice) == kNothingSelected; }))
                << how << ": " << Selection(notice).first << " to " << Selection(notice).second;
            EXPECT_EQ(0, SendMessageW(notice, EM_GETFIRSTVISIBLELINE, 0, 0)) << how;
        };
        expect_start("opened");
        EXPECT_EQ(notice, test::Focused(dialog));

        // Enter on the disabled "Continuer", Escape and the close box leave the dialog open (the
        // keys are handled before the Tab below).
        test::PressKey(dialog, VK_RETURN);
        test::PressKey(dialog, VK_ESCAPE);
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(IsWindow(dialog));

        // Tab goes to the answers, and the arrow keys go from one to the other.
        test::PressKey(dialog, VK_TAB);
        EXPECT_TRUE(FocusReaches(dialog, kAccept));
        EXPECT_FALSE(test::IsChecked(dialog, kAccept)) << "the focus alone answered";
        EXPECT_FALSE(test::IsEnabled(dialog, kContinue));
        test::PressKey(dialog, VK_DOWN);
        EXPECT_TRUE(FocusReaches(dialog, kRefuse));

        // Tab from the answer goes to "Continuer", then around to the notice.
        test::Click(dialog, kAccept);
        ASSERT_TRUE(FocusReaches(dialog, kAccept));
        test::PressKey(dialog, VK_TAB);
        ASSERT_TRUE(FocusReaches(dialog, kContinue));
        test::PressKey(dialog, VK_TAB);
        ASSERT_TRUE(FocusReaches(dialog, notice));
        expect_start("Tab");

        // Read to the end, on to the answer, and back (Shift+Tab).
        SendMessageW(notice, EM_SETSEL, 1400, 1410);
        SendMessageW(notice, EM_SCROLLCARET, 0, 0);
        ASSERT_NE(0, SendMessageW(notice, EM_GETFIRSTVISIBLELINE, 0, 0));
        SendMessageW(dialog, WM_NEXTDLGCTL, FALSE, FALSE);
        ASSERT_TRUE(FocusReaches(dialog, kAccept));
        SendMessageW(dialog, WM_NEXTDLGCTL, TRUE, FALSE);
        ASSERT_TRUE(FocusReaches(dialog, notice));
        expect_start("Shift+Tab");

        SendMessageW(dialog, WM_NEXTDLGCTL, FALSE, FALSE);
        ASSERT_TRUE(FocusReaches(dialog, kAccept));
        const LRESULT at = SendMessageW(notice, EM_POSFROMCHAR, 200, 0);
        const LPARAM point = MAKELPARAM(LOWORD(at) + 1, HIWORD(at) + 1);
        PostMessageW(notice, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(notice, WM_LBUTTONUP, 0, point);
        ASSERT_TRUE(FocusReaches(dialog, notice));
        const DWORD clicked = LOWORD(SendMessageW(notice, EM_CHARFROMPOS, 0, point));
        EXPECT_NE(0u, clicked);
        EXPECT_EQ(std::make_pair(clicked, clicked), Selection(notice));

        SendMessageW(dialog, WM_NEXTDLGCTL, FALSE, FALSE);
        ASSERT_TRUE(FocusReaches(dialog, kAccept));
        test::PressKey(dialog, VK_RETURN);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, accepted);
}

// A stored answer other than 0 and 1 (written by something else) checks both answers, whatever
// the radio buttons and the dialog manager do with a group that holds two checked buttons, and
// they still answer as one group. (That "Continuer" then accepts is ConsentDialogTest's.)
TEST_F(ConsentDialogWin32, StoredAnswerNeitherZeroNorOneChecksBoth) {
    ASSERT_TRUE(test::Store(reg::Root::kCurrentUser, store::kReferralsKey,
                            store::kLastReaderTrackValue, test::DwordValue(2)));
    ConsentFlow flow;
    const auto run = [&] { flow.RunConsent("-mode 1 -autorunbookid b1"); };
    test::WithDialog(kCaption, kContinue, run, [&](HWND dialog) {
        EXPECT_TRUE(FocusReaches(dialog, kAccept)) << GetDlgCtrlID(test::Focused(dialog));
        EXPECT_TRUE(test::IsChecked(dialog, kAccept));
        EXPECT_TRUE(test::IsChecked(dialog, kRefuse));
        EXPECT_TRUE(test::IsEnabled(dialog, kContinue));
        test::Click(dialog, kRefuse);
        EXPECT_FALSE(test::IsChecked(dialog, kAccept));
        test::Click(dialog, kAccept);
        EXPECT_FALSE(test::IsChecked(dialog, kRefuse));
        test::PressKey(dialog, VK_RETURN);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    const std::string book = std::string(store::kReferralsKey) + "\\b1";
    EXPECT_EQ(test::DwordValue(1),
              test::Stored(reg::Root::kCurrentUser, book, store::kReaderTrackValue));
}

// A handler that runs out of memory ends its dialog as one that could not be made, and the run
// goes on: an exception never unwinds through user32's dispatch, which would end the program.
// The consent dialog then gives no answer, so the run records a refusal.
TEST_F(ConsentDialogWin32, HandlerThatThrowsEndsTheDialogAsFailed) {
    class ThrowingConsentDialog : public ConsentDialog {
    public:
        using ConsentDialog::ConsentDialog;
        void OnCommand(platform::Dialog& dialog, int id, int code) override {
            if (id == kContinue) throw std::bad_alloc();
            ConsentDialog::OnCommand(dialog, id, code);
        }
    };
    std::int32_t accepted = 0;
    ThrowingConsentDialog handler(accepted);
    long result = 0;
    const auto run = [&] { result = platform::RunModalDialog(kTemplate, handler); };
    test::WithDialog(kCaption, kContinue, run, [&](HWND dialog) {
        test::Click(dialog, kAccept);
        EXPECT_TRUE(test::IsEnabled(dialog, kContinue));
        test::PressKey(dialog, VK_RETURN);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    EXPECT_EQ(-1, result);
    EXPECT_EQ(0, accepted);
}

}  // namespace
}  // namespace wbh
