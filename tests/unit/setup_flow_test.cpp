// The setup run's own work: the full paths under the install directory, the book's tracking
// choice, the recorded install directory, and a whole run with the dialog unavailable.
#include "setup/setup_flow.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/com.h"
#include "platform/portable/fault.h"
#include "platform/files.h"
#include "store/store_layout.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
using test::Stored;
constexpr reg::Root kUser = reg::Root::kCurrentUser;
const std::string kReferrals = store::kReferralsKey;

// A path written for Windows as this platform spells it.
std::string Native(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = platform::files::Separator();
    }
    return path;
}

class SetupFlowTest : public ::testing::Test {
protected:
    void TearDown() override { platform::fault::Reset(); }
    platform::ComScope com_;  // the shell link object needs the apartment the program enters
    test::RegistrySandbox sandbox_;
    SetupFlow flow_;
};

TEST_F(SetupFlowTest, FullPathsJoinTheInstallDirectoryAndTheRelativePaths) {
    SetupParameters p;
    p.installdirectory.Assign("D:\\Livres\\b1\\");  // a trailing backslash is kept: two at the joint
    p.targetfilepath.Assign("index.htm");
    p.readerJSpath.Assign("js\\track.js");
    p.shortcuticonpath.Assign("");
    const std::string long_name(259 - p.installdirectory.Length() - 1, 'm');
    p.importtoquarlofilename.Assign(long_name + "x");  // one character more than a path may have
    ComposeFullPaths(p);
    EXPECT_EQ(Native("D:\\Livres\\b1\\\\index.htm"), p.targetfullpath.CStr());
    EXPECT_EQ(Native("D:\\Livres\\b1\\\\js\\track.js"), p.readerJSfullpath.CStr());
    EXPECT_TRUE(p.iconfullpath.Empty());
    EXPECT_TRUE(p.importfullpath.Empty());

    p.importtoquarlofilename.Assign(long_name);
    ComposeFullPaths(p);
    EXPECT_EQ(259u, p.importfullpath.Length());
    EXPECT_TRUE(JoinPath("", "index.htm").Empty());
}

TEST_F(SetupFlowTest, TrackingChoiceOfTheBook) {
    EXPECT_EQ(1, ReadReaderTrack("b1")) << "no referral key";
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals));
    EXPECT_EQ(1, ReadReaderTrack("b1")) << "no book key";
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b1"));
    EXPECT_EQ(1, ReadReaderTrack("b1")) << "no ReaderTrack";
    for (std::uint32_t stored : {0u, 1u, 2u}) {
        ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "ReaderTrack", test::DwordValue(stored)));
        EXPECT_EQ(static_cast<std::int32_t>(stored), ReadReaderTrack("b1"));
    }
    // An empty book id names the Referrals key itself, which has no ReaderTrack.
    ASSERT_TRUE(test::Store(kUser, kReferrals, "LastReaderTrack", test::DwordValue(0)));
    EXPECT_EQ(1, ReadReaderTrack(""));
}

TEST_F(SetupFlowTest, InstallDirectoryIsRecordedOnlyOnAnExistingBookKey) {
    SetupParameters p;
    p.autorunbookid.Assign("b1");
    p.installdirectory.Assign("D:\\Livres\\b1");
    EXPECT_EQ(1, RecordInstallDirectory(p));
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals));
    EXPECT_EQ(1, RecordInstallDirectory(p));
    EXPECT_FALSE(test::KeyExists(kUser, kReferrals + "\\b1")) << "the book key must not be made";

    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b1"));
    EXPECT_EQ(1, RecordInstallDirectory(p));
    EXPECT_EQ(test::TextValue("D:\\Livres\\b1"), Stored(kUser, kReferrals + "\\b1", "Install Directory"));
    p.installdirectory.Clear();
    RecordInstallDirectory(p);
    EXPECT_EQ(test::TextValue(""), Stored(kUser, kReferrals + "\\b1", "Install Directory"));

    p.autorunbookid.Clear();
    RecordInstallDirectory(p);
    EXPECT_FALSE(Stored(kUser, kReferrals, "Install Directory"));
}

TEST_F(SetupFlowTest, ARunWritesEveryFileAndAParametersFileThatEndsTheReadingStopsIt) {
    test::TempDir dir;
    ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "ReaderTrack", test::DwordValue(0)));
    const std::string ini = dir.Write(
        "p.ini", "[parameters]\r\nreaderJSpath=track.js\r\ninstalldirectory=elsewhere\r\n"
                 "importtoquarlofilename=import.txt\r\n");
    platform::fault::FailCall("DialogBoxParam");
    const std::string options = "-autorunbookid b1 -readerJSpath nope.js -targetfilepath index.htm"
                                " -installdirectory \"" + dir.Path().string() +
                                "\" -parametersfilepath \"" + ini + "\"";
    EXPECT_EQ(1, flow_.RunSetup(options.c_str()));
    EXPECT_EQ(0, flow_.Parameters().trackingallowed);
    EXPECT_EQ(test::TextValue(dir.Path().string()),
              Stored(kUser, kReferrals + "\\b1", "Install Directory"));
    EXPECT_NE("<missing>", dir.Read("track.js"));
    EXPECT_EQ("<missing>", dir.Read("nope.js"));
    EXPECT_EQ(" ", dir.Read("import.txt"));
    EXPECT_EQ(platform::files::Presence::kPresent,
              platform::files::Probe(dir.File("Lancer le livre Web.lnk").c_str()));
    EXPECT_EQ(1, platform::fault::CallCount("DialogBoxParam"));

    // The sentinel value ends the reading: nothing is composed, written or shown.
    test::TempDir other;
    dir.Write("p.ini", "[parameters]\r\nreaderJSpath=not_found_error\r\n");
    platform::fault::Reset();
    platform::fault::FailCall("DialogBoxParam");
    SetupFlow again;
    EXPECT_EQ(1, again.RunSetup(("-readerJSpath t.js -importtoquarlofilename i.txt"
                                 " -targetfilepath index.htm -installdirectory \"" +
                                 other.Path().string() + "\" -parametersfilepath \"" + ini + "\"")
                                    .c_str()));
    EXPECT_TRUE(std::filesystem::is_empty(other.Path()));
    EXPECT_EQ(0, platform::fault::CallCount("DialogBoxParam"));
}

}  // namespace
}  // namespace wbh
