// Mode 2's edge cases in process; whole runs on the sample book are tests/e2e/setup_test.sh.
#include "setup/setup_flow.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/utf8.h"
#include "platform/com.h"
#include "platform/shell.h"
#include "setup/finish_dialog.h"
#include "setup/import_marker.h"
#include "setup/shortcut_maker.h"
#include "support/desktop_sandbox.h"
#include "support/fake_dialog.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace fault = platform::fault;
using namespace finish_dialog;
using test::Stored;
constexpr platform::registry::Root kUser = platform::registry::Root::kCurrentUser;
constexpr platform::registry::Root kClasses = platform::registry::Root::kClassesRoot;
const std::string kLink = platform::shell::kShortcutExtension;

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

class Setup : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    platform::ComScope com_;  // the shell link object needs the apartment the program enters
    test::RegistrySandbox registry_;
    test::TempDir dir_;
    const std::string folder_ = dir_.Path().string();
    const std::string target_ = dir_.Write("index.htm", "<html></html>");
};

TEST_F(Setup, NoFullPathFromAnEmptyPartOrPastThePathLimit) {
    SetupParameters p;
    p.installdirectory.Assign("D:\\b1");
    p.targetfilepath.Assign(std::string(254, 'm'));  // 5 + 1 + 254: one more than a path may have
    // The limit counts characters: 253 Cyrillic ones fit as 253 ASCII ones would.
    const std::string cyrillic = Repeat("\xD0\x96", 253);
    p.shortcuticonpath.Assign(cyrillic);
    p.readerJSpath.Assign(cyrillic + "\xD0\x96");
    ComposeFullPaths(p);
    EXPECT_TRUE(p.targetfullpath.Empty());
    EXPECT_EQ(259u, utf8::Utf16Length(p.iconfullpath.View()));
    EXPECT_TRUE(p.readerJSfullpath.Empty());
    EXPECT_TRUE(JoinPath("", "index.htm").Empty());
}

TEST_F(Setup, TheFirstFreeShortcutNameThatFitsIsChosen) {
    const auto chosen = [&](const std::string& name) -> std::string {
        return ChooseShortcutPath(folder_.c_str(), name.c_str()).path.CStr();
    };
    dir_.Write("livre (0)" + kLink, "");
    EXPECT_EQ(dir_.File("livre" + kLink), chosen("livre"))
        << "a numbered form alone does not count";
    dir_.Write("livre" + kLink, "");
    dir_.Write("livre (2)" + kLink, "");
    EXPECT_EQ(dir_.File("livre (1)" + kLink), chosen("livre"));
    // The plain name fits the 259 characters exactly; " (0)" would not.
    const std::string name(259 - folder_.size() - 1 - kLink.size(), 'n');
    EXPECT_EQ(259u, chosen(name).size());
    dir_.Write(name + kLink, "");
    EXPECT_EQ("", chosen(name));
    EXPECT_EQ("", chosen(name + "nnnnn"));
}

TEST_F(Setup, ShortcutFallbackNamesAndFailures) {
    test::DesktopSandbox desktop;
    // No string resource (Windows; POSIX reads them from the program itself): the names built in.
    const bool no_strings = fault::Injectable("string resource");
    if (no_strings) {
        fault::FailCall("string resource");
        EXPECT_EQ(0, MakeOpenShortcut(folder_.c_str(), target_.c_str(), "", ""));
        EXPECT_EQ(0, MakeDesktopShortcut(target_.c_str(), "", ""));
        EXPECT_NE("<missing>", dir_.Read("Open autorun book" + kLink));
    }
    // Nothing to do without a target or an install directory; nothing made on a failure.
    EXPECT_EQ(1, MakeOpenShortcut(folder_.c_str(), "", "vide", ""));
    EXPECT_EQ(1, MakeOpenShortcut("", target_.c_str(), "vide", ""));
    EXPECT_EQ(1, MakeDesktopShortcut("", "vide", ""));
    if (fault::Injectable("desktop folder")) {
        fault::FailCall("desktop folder");
        EXPECT_GT(0, MakeDesktopShortcut(target_.c_str(), "vide", ""));
    }
    fault::Reset();
    EXPECT_GT(0, MakeOpenShortcut((folder_ + "/absent").c_str(), target_.c_str(), "vide", ""))
        << "a folder that is not there";
    EXPECT_EQ(no_strings ? "autorun book" + kLink : "", desktop.Names());
}

// In the registry (Windows), or elsewhere by the platform (POSIX: the MIME database, with no
// classes root to hold another class), which then leaves the registry alone and fails only
// when its own file cannot be written.
TEST_F(Setup, TheAssociationIsMadeUnlessAnotherClassHoldsIt) {
    const bool in_registry = platform::shell::kFileTypesInRegistry;
    const struct {
        const char* before;   // the .7xe default value; null: no key
        const char* failing;  // a call made to fail: its first call, or all with "*"
        int result;
        const char* machine;  // .7xe's default value afterwards under HKEY_CLASSES_ROOT
        const char* user;     // ... and under HKEY_CURRENT_USER\Software\Classes
        long notices;         // the shell told that associations changed
        int elsewhere;        // the result where the platform keeps file types itself
    } rows[] = {
        {"", nullptr, 1, "7xefile", nullptr, 1, 1},  // no key at all: the e2e run
        {"autre.classe", nullptr, 1, "autre.classe", nullptr, 0, 1},
        // Access denied to the machine's classes: the user's own take the association.
        {nullptr, "key create", 1, nullptr, "7xefile", 1, 1},
        {nullptr, "value write", 1, nullptr, "7xefile", 1, 1},
        {nullptr, "*key create", 0, nullptr, nullptr, 0, 1},
        {nullptr, "*value write", 0, nullptr, nullptr, 0, 1},
        {nullptr, "*replace file", 1, "7xefile", nullptr, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.before ? row.before : "-") << row.failing);
        test::RegistrySandbox sandbox;
        if (row.before && in_registry) {
            ASSERT_TRUE(test::Store(kClasses, ".7xe", nullptr, test::TextValue(row.before)));
        }
        fault::Reset();
        const char* failing = row.failing ? row.failing + (row.failing[0] == '*') : "";
        if (*failing != '\0' && !fault::Injectable(failing)) continue;  // no key to fail there
        if (row.failing && row.failing[0] == '*') fault::FailCall(failing);
        if (row.failing && row.failing[0] != '*') fault::FailNthCall(failing, 1);
        EXPECT_EQ(in_registry ? row.result : row.elsewhere, EnsureFileAssociation());
        if (in_registry) EXPECT_EQ(row.notices, fault::CallCount("association notice"));
        fault::Reset();
        const auto value = [](const char* text) {
            return text ? std::optional(test::TextValue(text)) : std::nullopt;
        };
        const char* machine = in_registry ? row.machine : nullptr;
        const char* user = in_registry ? row.user : nullptr;
        EXPECT_EQ(value(user), Stored(kUser, "Software\\Classes\\.7xe", nullptr));
        EXPECT_EQ(user != nullptr, test::KeyExists(kUser, "Software\\Classes\\7xefile"));
        if (user) continue;  // Windows shows the user's classes in the merged view too
        EXPECT_EQ(value(machine), Stored(kClasses, ".7xe", nullptr));
        EXPECT_EQ(value(machine) == value("7xefile"), test::KeyExists(kClasses, "7xefile"));
    }
}

TEST_F(Setup, NoMarkerPathNoAssociationAndAFailedMarkerIsNoFailure) {
    EXPECT_EQ(1, WriteImportMarker(""));
    EXPECT_FALSE(test::KeyExists(kClasses, ".7xe"));
    EXPECT_EQ(1, WriteImportMarker((dir_.Path() / "absent" / "import.txt").string().c_str()));
}

// 书 Ｌｉｖｒｅ＂ －ｍ: Chinese, and fullwidth letters, quote and hyphen.
const std::string kAnyScript =
    "\xE4\xB9\xA6 \xEF\xBC\xAC\xEF\xBD\x89\xEF\xBD\x96\xEF\xBD\x92\xEF\xBD\x85"
    "\xEF\xBC\x82 \xEF\xBC\x8D\xEF\xBD\x8D";

// A check box click as the toolkit performs it: the check toggles, then the dialog hears.
void Click(test::FakeDialog& dialog, FinishDialog& handler, int id) {
    if (id != kFinish) dialog.Check(id, !dialog.IsChecked(id));
    handler.OnCommand(dialog, id, platform::kClicked);
}

TEST_F(Setup, FinishDialogDoesWhatIsStillChecked) {
    const struct {
        std::string typed;
        int toggles;  // clicks on the shortcut choice after typing
        std::string stored;
        std::string desktop;
    } rows[] = {
        {"", 0, "", "livre Web" + kLink},  // an emptied name takes the default
        // Cut to 259 characters, which no longer fit the desktop's path.
        {std::string(300, 'n'), 0, std::string(259, 'n'), ""},
        {Repeat("\xC3\xA9", 300), 0, Repeat("\xC3\xA9", 259), ""},
        // Any script, look-alikes of ASCII included, names the shortcut as typed.
        {kAnyScript, 0, kAnyScript, kAnyScript + kLink},
        // A toggle puts the stored name back.
        {"Autre nom", 1, "Mon livre", ""},
        {"Autre nom", 2, "Mon livre", "Mon livre" + kLink},
    };
    // "Open now" is unchecked in every row (the e2e run opens the book); the call is counted.
    fault::FailCall("open document");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed.substr(0, 10) + std::to_string(row.toggles));
        test::DesktopSandbox desktop;
        SetupParameters p;
        p.desktopshortcutname.Assign("Mon livre");
        p.targetfullpath.Assign(target_);
        test::FakeDialog dialog(
            {kFinish, kDesktopShortcut, kShortcutName, kShortcutNameLabel, kOpenNow});
        FinishDialog handler(p);
        handler.OnInit(dialog);
        EXPECT_EQ(1u, dialog.moves.size()) << "centred";
        dialog.SetText(kShortcutName, row.typed.c_str());
        for (int i = 0; i < row.toggles; ++i) Click(dialog, handler, kDesktopShortcut);
        Click(dialog, handler, kOpenNow);
        EXPECT_EQ(row.toggles != 1, dialog.At(kShortcutName).enabled);
        EXPECT_EQ(row.toggles != 1, dialog.At(kShortcutNameLabel).enabled);
        handler.OnCommand(dialog, 2, platform::kClicked);  // IDCANCEL: Escape or the close box
        handler.OnCommand(dialog, kFinish, 0x300);         // not a click
        EXPECT_FALSE(dialog.ended);
        Click(dialog, handler, kFinish);
        EXPECT_EQ(1, dialog.ended);
        EXPECT_EQ(row.stored, p.desktopshortcutname.CStr());
        EXPECT_EQ(row.desktop, desktop.Names());
        EXPECT_EQ(0, fault::CallCount("open document"));
    }
}

TEST_F(Setup, OnlyAPathThatFitsIsOpenedAndNoDialogIsNoFailure) {
    fault::FailCall("open document");
    EXPECT_EQ(0, OpenBook(""));
    EXPECT_EQ(0, OpenBook(std::string(260, 'a').c_str()));
    EXPECT_EQ(0, fault::CallCount("open document"));
    fault::FailCall("dialog");
    SetupParameters p;
    EXPECT_EQ(1, ShowFinishDialog(p));
}

}  // namespace
}  // namespace wbh
