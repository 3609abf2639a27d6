// The whole run in process: the parameters file over the command line, and bounded fields.
// (A run whose COM fails is Win32Com's, under Wine.)
#include "app/program.h"

#include <gtest/gtest.h>

#include <string>

#include "consent/consent_flow.h"
#include "setup/setup_flow.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Mode 1 runs as if its dialog could not be made (a refusal), in a registry of the test's own.
class Program : public ::testing::Test {
protected:
    void SetUp() override { platform::fault::FailCall("DialogBoxParam"); }
    void TearDown() override { platform::fault::Reset(); }

    test::TempDir dir_;
    test::RegistrySandbox sandbox_;
};

// Each flow takes its keys from the command line, then from the file's [parameters] section. A
// value that does not fit its field is as if it had not been given: the earlier one stays.
TEST_F(Program, ModeFlowsTakeTheirKeysFileLastAndWhole) {
    const std::string fits(1023, 'a');
    const std::string name259(259, 'n');
    const std::string ini =
        dir_.Write("p.ini",
                   "[other]\nauthorpartnerid=no\nshortcuticonpath=no\n[parameters]\n"
                   "parametersfilepath=elsewhere\nauthoruserid=file\nautorunbookid=" +
                       fits + "x\ninstalldirectory=ignored\ntargetfilepath=" + name259);
    const std::string options = "-autorunbookid good -authoruserid cmd -authorpartnerid " + fits +
                                " -installdirectory D:\\Books -openshortcutname " + name259 +
                                "n -parametersfilepath " + Quoted(ini);
    ConsentFlow consent;
    EXPECT_EQ(1, consent.RunConsent(options.c_str()));
    EXPECT_STREQ("good", consent.Parameters().autorunbookid.CStr());
    EXPECT_STREQ("file", consent.Parameters().authoruserid.CStr());
    EXPECT_EQ(fits, consent.Parameters().authorpartnerid.CStr());
    EXPECT_STREQ(ini.c_str(), consent.Parameters().parametersfilepath.CStr());

    SetupFlow setup;
    EXPECT_EQ(1, setup.RunSetup(("-targetfilepath start.htm " + options).c_str()));
    EXPECT_STREQ("good", setup.Parameters().autorunbookid.CStr());
    EXPECT_EQ(name259, setup.Parameters().targetfilepath.CStr());
    EXPECT_STREQ("D:\\Books", setup.Parameters().installdirectory.CStr());
    EXPECT_TRUE(setup.Parameters().openshortcutname.Empty());
    EXPECT_TRUE(setup.Parameters().shortcuticonpath.Empty());

    LaunchParameters launch;
    EXPECT_EQ(0, DispatchMode(("-mode 7 -mode 3" + fits).c_str(), launch));
}

}  // namespace
}  // namespace wbh
