// The whole run in process, from its command line and parameters file to what it records.
#include "app/program.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "consent/consent_flow.h"
#include "setup/setup_flow.h"
#include "store/store_layout.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

constexpr platform::registry::Root kUser = platform::registry::Root::kCurrentUser;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Mode 1 runs as if its dialog could not be made (a refusal), in a registry of the test's own.
class Program : public ::testing::Test {
protected:
    void SetUp() override { platform::fault::FailCall("dialog"); }
    void TearDown() override { platform::fault::Reset(); }

    test::TempDir dir_;
    test::RegistrySandbox sandbox_;
};

// Each flow takes its keys from the command line (names in any case; -mode is none of the
// flows'), then from the file's [parameters] section (in any case). A value that does not fit its
// field is as if it had not been given: the earlier one stays.
TEST_F(Program, ModeFlowsTakeTheirKeysFileLastAndWhole) {
    const std::string fits(1023, 'a'), name259(259, 'n');
    const std::string ini =
        dir_.Write("p.ini",
                   "[other]\nauthorpartnerid=no\nshortcuticonpath=no\nmode=7\n[Parameters]\n"
                   "parametersfilepath=elsewhere\nauthoruserid=file\nrtpfilename=f.rtp\nMode=3\n"
                   "autorunbookid=" +
                       fits + "x\ninstalldirectory=ignored\ntargetfilepath=" + name259);
    const std::string options = "-AUTORUNBOOKID good -authoruserid cmd -authorpartnerid " + fits +
                                " -installdirectory D:\\Books -openshortcutname " + name259 +
                                "n -parametersfilepath " + Quoted(ini) + " -mode 1";
    ConsentFlow consent;
    EXPECT_EQ(1, consent.RunConsent(options.c_str()));
    EXPECT_STREQ("good", consent.Parameters().autorunbookid.CStr());
    EXPECT_STREQ("file", consent.Parameters().authoruserid.CStr());
    EXPECT_EQ(fits, consent.Parameters().authorpartnerid.CStr());
    EXPECT_STREQ(ini.c_str(), consent.Parameters().parametersfilepath.CStr());
    EXPECT_FALSE(test::Stored(kUser, store::kUserDataKey, "ReaderID")) << "refused: no identifier";

    SetupFlow setup;
    EXPECT_EQ(1, setup.RunSetup(("-targetfilepath start.htm " + options).c_str()));
    EXPECT_STREQ("good", setup.Parameters().autorunbookid.CStr());
    EXPECT_EQ(name259, setup.Parameters().targetfilepath.CStr());
    EXPECT_STREQ("D:\\Books", setup.Parameters().installdirectory.CStr());
    EXPECT_TRUE(setup.Parameters().openshortcutname.Empty());
    EXPECT_TRUE(setup.Parameters().shortcuticonpath.Empty());

    LaunchParameters p;
    EXPECT_EQ(0, DispatchMode(("-mode 7 -mode 3" + fits).c_str(), p));
    // The launch level takes only the mode from the file: the result file and the parameters
    // file are the caller's.
    EXPECT_EQ(1, DispatchMode(
                     ("-MODE 7 -rtpfilename r.rtp /parametersfilepath " + Quoted(ini)).c_str(), p));
    EXPECT_STREQ("3", p.mode.CStr());
    EXPECT_STREQ("r.rtp", p.rtpfilename.CStr());
    EXPECT_EQ(ini, p.parametersfilepath.CStr());
}

// A number just under the limit is read exactly (long is 32 bits on Windows, 64 here).
TEST(ModeNumber, ReadsLeadingDigitsAndSaturates) {
    const std::pair<std::string, long> rows[] = {{" 2x", 2},
                                                 {"01", 1},
                                                 {"+3", 3},
                                                 {"-1", -1},
                                                 {"x1", 0},
                                                 {std::to_string(LONG_MAX - 2), LONG_MAX - 2},
                                                 {std::to_string(LONG_MAX) + "0", LONG_MAX}};
    for (const auto& [text, number] : rows) EXPECT_EQ(number, ReadModeNumber(text.c_str())) << text;
}

TEST_F(Program, ASentinelValueInTheParametersFileEndsEitherRun) {
    const std::string ini = dir_.Write("p.ini", "[parameters]\r\nreaderJSpath=not_found_error\r\n");
    const std::string options =
        "-autorunbookid b1 -importtoquarlofilename i.txt -installdirectory " +
        Quoted(dir_.Path().string()) + " -parametersfilepath " + Quoted(ini);
    EXPECT_EQ(1, ConsentFlow().RunConsent(options.c_str()));
    EXPECT_EQ(1, SetupFlow().RunSetup(options.c_str()));
    LaunchParameters launch;
    EXPECT_EQ(1, DispatchMode(("-mode 7 " + options).c_str(), launch)) << "no mode runs";
    EXPECT_EQ(0, platform::fault::CallCount("dialog"));
    EXPECT_FALSE(test::KeyExists(kUser, store::kReferralsKey)) << "nothing recorded";
    EXPECT_EQ("<missing>", dir_.Read("i.txt")) << "no import marker";
}

}  // namespace
}  // namespace wbh
