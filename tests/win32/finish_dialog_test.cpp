// The real finish dialog from the real template, driven by messages from a second thread:
// its opening state, the name row following the shortcut choice, and what "Terminer" makes.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/portable/fault.h"
#include "platform/win32/module.h"
#include "setup/finish_dialog.h"
#include "setup/setup_flow.h"
#include "support/desktop_sandbox.h"
#include "support/dialog_driving.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"
#include "support/with_dialog.h"

namespace wbh {
namespace {

namespace fault = platform::fault;
using namespace finish_dialog;
constexpr wchar_t kCaption[] = L"Fin de l'extraction";

class FinishDialogWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        platform::win32::Instance() = GetModuleHandleW(nullptr);
        platform::win32::Module() = GetModuleHandleW(nullptr);
        p_.desktopshortcutname.Assign("Mon livre");
        p_.targetfullpath.Assign(dir_.Write("index.htm", "<html></html>"));
        fault::FailCall("ShellExecute");  // counted, never really asked
    }
    void TearDown() override { fault::Reset(); }

    void Run(const std::function<void(HWND)>& drive) {
        test::WithDialog(kCaption, kFinish, [this] { EXPECT_EQ(1, ShowFinishDialog(p_)); }, drive);
    }

    platform::ComScope com_;  // the shell link object needs the apartment the program enters
    test::RegistrySandbox registry_;
    test::DesktopSandbox desktop_;
    test::TempDir dir_;
    SetupParameters p_;
};

TEST_F(FinishDialogWin32, OpeningStateTogglesAndTheTypedName) {
    Run([&](HWND dialog) {
        EXPECT_TRUE(test::IsChecked(dialog, kDesktopShortcut));
        EXPECT_TRUE(test::IsChecked(dialog, kOpenNow));
        EXPECT_TRUE(test::IsEnabled(dialog, kShortcutName));
        EXPECT_TRUE(test::IsEnabled(dialog, kShortcutNameLabel));
        EXPECT_EQ(L"Mon livre", test::TextOf(dialog, kShortcutName));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
        EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);

        // A toggle puts the stored name back, whatever was typed.
        SetDlgItemTextW(dialog, kShortcutName, L"Autre nom");
        test::Click(dialog, kDesktopShortcut);
        EXPECT_FALSE(test::IsChecked(dialog, kDesktopShortcut));
        EXPECT_FALSE(test::IsEnabled(dialog, kShortcutName));
        EXPECT_FALSE(test::IsEnabled(dialog, kShortcutNameLabel));
        EXPECT_EQ(L"Mon livre", test::TextOf(dialog, kShortcutName));
        test::Click(dialog, kDesktopShortcut);
        EXPECT_TRUE(test::IsEnabled(dialog, kShortcutName));

        // Escape and the close box leave it open; Enter presses "Terminer".
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(IsWindow(dialog));
        SetDlgItemTextW(dialog, kShortcutName, L"Livre tapé");
        test::PressKey(dialog, VK_RETURN);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    EXPECT_EQ("Livre tap\xc3\xa9.lnk", desktop_.Names());  // the file names are listed in UTF-8
    EXPECT_EQ(1, fault::CallCount("ShellExecute"));
}

TEST_F(FinishDialogWin32, AnEmptiedNameAndBothUnchecked) {
    Run([&](HWND dialog) {
        SetDlgItemTextW(dialog, kShortcutName, L"");
        test::Click(dialog, kOpenNow);
        EXPECT_FALSE(test::IsChecked(dialog, kOpenNow));
        test::Click(dialog, kFinish);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    EXPECT_EQ("livre Web.lnk", desktop_.Names());
    EXPECT_EQ(0, fault::CallCount("ShellExecute"));

    Run([&](HWND dialog) {
        test::Click(dialog, kOpenNow);
        test::Click(dialog, kDesktopShortcut);
        test::Click(dialog, kFinish);
        EXPECT_TRUE(test::WaitUntilClosed(dialog));
    });
    EXPECT_EQ("livre Web.lnk", desktop_.Names());
    EXPECT_TRUE(p_.desktopshortcutname.Empty());
    EXPECT_EQ(0, fault::CallCount("ShellExecute"));
}

}  // namespace
}  // namespace wbh
