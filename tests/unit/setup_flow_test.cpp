// Mode 2's edge cases in process. Whole runs on the sample book: tests/e2e/setup_test.sh; the
// tracking script as the reader component reads it: tests/win32/text_boundary_test.cpp.
#include "setup/setup_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "platform/com.h"
#include "platform/shell.h"
#include "setup/finish_dialog.h"
#include "setup/import_marker.h"
#include "setup/shortcut_maker.h"
#include "setup/tracking_script.h"
#include "store/store_layout.h"
#include "support/desktop_sandbox.h"
#include "support/fake_dialog.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/repeat.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace fault = platform::fault;
using namespace finish_dialog;
const std::string kLink = platform::shell::kShortcutExtension;

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
    const std::string cyrillic = test::Repeat("\xD0\x96", 253);
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

// Registering the type opens .7xe's key on Windows and writes the MIME package on POSIX.
TEST_F(Setup, NoMarkerPathNoAssociationAndAFailedMarkerIsNoFailure) {
    fault::Reset();
    EXPECT_EQ(1, WriteImportMarker(""));
    EXPECT_EQ(0, fault::CallCount("key") + fault::CallCount("replace file"));
    EXPECT_EQ(1, WriteImportMarker((dir_.Path() / "absent" / "import.txt").string().c_str()));
    EXPECT_LT(0, fault::CallCount("key") + fault::CallCount("replace file"));
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
        {test::Repeat("\xC3\xA9", 300), 0, test::Repeat("\xC3\xA9", 259), ""},
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

constexpr auto kUser = platform::registry::Root::kCurrentUser;
const std::string kReferrals = store::kReferralsKey;
constexpr char kReaderId[] = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
constexpr char kNoReaderId[] = "{00000000-0000-0000-0000-000000000000}";

// The eight lines for book b1 from the seven values before its id (the fifth, the count, bare).
std::string Lines(std::vector<std::string> values) {
    const char* names[] = {"AuthorUser",         "AuthorSKU", "AuthorPartner", "ReaderUser",
                           "ReaderAutorunCount", "ReaderSKU", "ReaderPartner", "WebBookID"};
    values.push_back("b1");
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string value = i == 4 ? values[i] : "\"" + values[i] + "\"";
        text += "var " + std::string(names[i]) + " = " + value + ";\r\n";
    }
    return text;
}

// The eight variables, byte for byte, from each state of the store (a whole script: the e2e).
TEST_F(Setup, TrackingScriptFromWhatIsStoredOrMissing) {
    SetupParameters p;
    p.readerJSfullpath.Assign(dir_.File("track.js"));
    p.autorunbookid.Assign("b1");
    p.trackingallowed = 1;
    const auto variables = [&] {  // after the header comment, which the e2e story checks
        const std::string script = dir_.Read("track.js");
        return script.substr(std::min(script.find("var AuthorUser"), script.size()));
    };
    // A ReaderID past the 512-byte buffer counts as absent; only another book is recorded.
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID",
                            test::TextValue(std::string(512, 'x'))));
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b2"));
    WriteTrackingScript(p);
    EXPECT_EQ(Lines({"", "", "", kNoReaderId, "1", "", ""}), variables());

    const std::string longest(511, 'u');  // the longest text a reader takes
    ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "UserID", test::TextValue(longest)));
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID", test::TextValue(kReaderId)));
    EXPECT_EQ(1, WriteTrackingScript(p));
    EXPECT_EQ(Lines({longest, "", "", kReaderId, "2", "", ""}), variables());

    // Refused: the author's values still, but neither the reader's id nor the count.
    p.trackingallowed = 0;
    WriteTrackingScript(p);
    EXPECT_EQ(Lines({longest, "", "", "{00000000-0000-0000-0000-000000000001}", "0", "", ""}),
              variables());
}

TEST(JavaScriptString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ("\"a\\\"b\\\\c\\r\\n\\x09\\x01\\x7F\xC3\xA9 ~\"",
              JavaScriptString("a\"b\\c\r\n\t\x01\x7F\xC3\xA9 ~"));
}

}  // namespace
}  // namespace wbh
