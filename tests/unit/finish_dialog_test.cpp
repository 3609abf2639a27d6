// The finish dialog's behaviour on a fake dialog: its opening state, what a toggle does to the
// name row, and what "Terminer" does with the choices as they stand.
#include "setup/finish_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/com.h"
#include "platform/portable/fault.h"
#include "setup/setup_flow.h"
#include "support/desktop_sandbox.h"
#include "support/fake_dialog.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace fault = platform::fault;
using namespace finish_dialog;

class FakeDialog final : public test::FakeDialog {
public:
    FakeDialog()
        : test::FakeDialog({kFinish, kShortcutGroup, kBrowserGroup, kDesktopShortcut,
                            kShortcutName, kShortcutNameLabel, kOpenNow}) {}
};

// A check box click as the toolkit performs it: the check toggles, then the dialog hears.
void Click(FakeDialog& dialog, FinishDialog& handler, int id) {
    if (id != kFinish) dialog.Check(id, !dialog.IsChecked(id));
    handler.OnCommand(dialog, id, platform::kClicked);
}

class FinishDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        p_.desktopshortcutname.Assign("Mon livre");
        p_.targetfullpath.Assign(dir_.Write("index.htm", "<html></html>"));
        // The shell is never really asked here: opening fails, and the call is counted.
        fault::FailCall("ShellExecute");
        handler_.OnInit(dialog_);
    }
    void TearDown() override { fault::Reset(); }

    platform::ComScope com_;  // the shell link object needs the apartment the program enters
    test::RegistrySandbox registry_;
    test::DesktopSandbox desktop_;
    test::TempDir dir_;
    FakeDialog dialog_;
    SetupParameters p_;
    FinishDialog handler_{p_};
};

TEST_F(FinishDialogTest, OpensWithBothChoicesAndTheStoredName) {
    EXPECT_TRUE(dialog_.At(kDesktopShortcut).checked);
    EXPECT_TRUE(dialog_.At(kOpenNow).checked);
    EXPECT_TRUE(dialog_.At(kShortcutName).enabled);
    EXPECT_TRUE(dialog_.At(kShortcutNameLabel).enabled);
    EXPECT_EQ("Mon livre", dialog_.At(kShortcutName).text);
    EXPECT_EQ(1u, dialog_.moves.size()) << "centred";
    EXPECT_FALSE(dialog_.ended);

    // Escape, the close box and other notifications leave it open.
    handler_.OnCommand(dialog_, 2, platform::kClicked);
    handler_.OnCommand(dialog_, kFinish, 0x300);
    EXPECT_FALSE(dialog_.ended);
}

TEST_F(FinishDialogTest, ATogglePutsTheStoredNameBack) {
    dialog_.SetText(kShortcutName, "Autre nom");
    Click(dialog_, handler_, kDesktopShortcut);
    EXPECT_FALSE(dialog_.At(kShortcutName).enabled);
    EXPECT_FALSE(dialog_.At(kShortcutNameLabel).enabled);
    EXPECT_EQ("Mon livre", dialog_.At(kShortcutName).text);
    Click(dialog_, handler_, kDesktopShortcut);
    EXPECT_TRUE(dialog_.At(kShortcutName).enabled);
    EXPECT_EQ("Mon livre", dialog_.At(kShortcutName).text);

    Click(dialog_, handler_, kFinish);
    EXPECT_EQ(1, dialog_.ended);
    EXPECT_EQ("Mon livre.lnk", desktop_.Names());
    EXPECT_EQ(1, fault::CallCount("ShellExecute"));
}

TEST_F(FinishDialogTest, TerminerUsesTheTypedName) {
    dialog_.SetText(kShortcutName, std::string(300, 'n').c_str());
    Click(dialog_, handler_, kOpenNow);
    EXPECT_FALSE(dialog_.At(kOpenNow).checked);
    Click(dialog_, handler_, kFinish);
    // Cut to 259 characters: a name that long no longer fits the desktop's path, so the
    // stored name is what counts here.
    EXPECT_EQ(std::string(259, 'n'), p_.desktopshortcutname.CStr());
    EXPECT_EQ("", desktop_.Names());
    EXPECT_EQ(0, fault::CallCount("ShellExecute"));
}

TEST_F(FinishDialogTest, AnEmptiedNameTakesTheDefault) {
    dialog_.SetText(kShortcutName, "");
    Click(dialog_, handler_, kFinish);
    EXPECT_TRUE(p_.desktopshortcutname.Empty());
    EXPECT_EQ("livre Web.lnk", desktop_.Names());
}

TEST_F(FinishDialogTest, BothUncheckedDoesNothing) {
    dialog_.SetText(kShortcutName, "Autre nom");
    Click(dialog_, handler_, kDesktopShortcut);
    Click(dialog_, handler_, kOpenNow);
    Click(dialog_, handler_, kFinish);
    EXPECT_EQ(1, dialog_.ended);
    EXPECT_EQ("Mon livre", std::string(p_.desktopshortcutname.CStr()));
    EXPECT_EQ("", desktop_.Names());
    EXPECT_EQ(0, fault::CallCount("ShellExecute"));
}

TEST(OpenBook, AnEmptyPathAsksNothing) {
    fault::FailCall("ShellExecute");
    EXPECT_EQ(0, OpenBook(""));
    EXPECT_EQ(0, fault::CallCount("ShellExecute"));
    EXPECT_EQ(0, OpenBook("index.htm"));
    EXPECT_EQ(1, fault::CallCount("ShellExecute"));
    fault::Reset();
}

}  // namespace
}  // namespace wbh
