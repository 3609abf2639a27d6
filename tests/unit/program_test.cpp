// The whole run in process: mode choice and exit codes, the result file, the parameters file
// overriding the command line, bounded fields, and the COM failure path.
#include "app/program.h"

#include <gtest/gtest.h>

#include <string>

#include "consent/consent_flow.h"
#include "platform/portable/fault.h"
#include "platform/ini.h"
#include "setup/setup_flow.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string ExitCodeIn(const std::string& file) {
    char buffer[64];
    platform::IniReadString("ADRTP", "ExitCode", "<none>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

// Mode 1 runs here as if its dialog could not be made (a refusal, with no one to answer), in a
// registry of the test's own.
class Program : public ::testing::Test {
protected:
    void SetUp() override { platform::fault::FailCall("DialogBoxParam"); }
    void TearDown() override { platform::fault::Reset(); }
    test::TempDir dir_;
    test::RegistrySandbox sandbox_;
};

TEST_F(Program, ModeChoiceAndExitCodes) {
    const struct {
        const char* options;
        int exit_code;
    } rows[] = {
        {"", 1},
        {"-mode 3", 1},
        {"-mode 7", 0},
        {"-mode 0", 0},
        {"-mode abc", 0},
        {"-mode +3", 1},
        {"-mode '  3'", 1},
        {"-mode 3x", 1},
        {"-mode 03", 1},
        {"-mode -1", 1},  // the value ends at the "-": mode is empty
        {"-mode '-1'", 0},
        {"-mode 99999999999999999999", 0},
        {"-MODE 7", 0},
        {"/Mode 7", 0},
        {"--mode 7", 1},         // names "-mode", which is no launch option
        {"-mode 7 -mode 3", 1},  // the later value wins
        {"words first -mode 7", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options);
        const std::string rtp = dir_.File("r.rtp");
        std::remove(rtp.c_str());
        const std::string command_line = std::string(row.options) + " -rtpfilename " + Quoted(rtp);
        EXPECT_EQ(row.exit_code, RunProgram(command_line.c_str()));
        EXPECT_EQ("0", ExitCodeIn(rtp));  // always 0, whatever the exit code
    }
}

TEST_F(Program, NoRtpFileNameWritesNoFile) {
    EXPECT_EQ(1, RunProgram(""));
    LaunchParameters launch;
    EXPECT_EQ(0, DispatchMode("-mode 7 -rtpfilename", launch));
    EXPECT_TRUE(launch.rtpfilename.Empty());
}

TEST_F(Program, ParametersFileModeOverridesTheCommandLine) {
    const struct {
        const char* what;
        const char* file;
        int exit_code;
    } rows[] = {
        {"file mode wins", "[parameters]\nmode=3\n", 1},
        {"section name in any case", "[Parameters]\nMODE=3\n", 1},
        {"mode in another section ignored", "[other]\nmode=3\n", 0},
        {"launch keys other than mode ignored",
         "[parameters]\nrtpfilename=x\nparametersfilepath=y\n", 0},
        {"a value reading as the sentinel ends the run before any mode",
         "[parameters]\nx=not_found_error\nmode=7\n", 1},
        {"empty file", "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string ini = dir_.Write("p.ini", row.file);
        const std::string rtp = dir_.File("r.rtp");
        const std::string command_line =
            "-mode 7 -parametersfilepath " + Quoted(ini) + " -rtpfilename " + Quoted(rtp);
        EXPECT_EQ(row.exit_code, RunProgram(command_line.c_str()));
        EXPECT_EQ("0", ExitCodeIn(rtp));
        LaunchParameters launch;
        DispatchMode(command_line.c_str(), launch);
        EXPECT_STREQ(rtp.c_str(), launch.rtpfilename.CStr());
    }
}

TEST_F(Program, ModeFlowsTakeTheirKeysFileLast) {
    const std::string ini = dir_.Write(
        "p.ini",
        "[parameters]\nauthoruserid=from-file\nparametersfilepath=elsewhere\n"
        "installdirectory=ignored\ntargetfilepath=index.htm\n[other]\nauthorpartnerid=no\n");
    const std::string tail =
        " -authoruserid cmd -authorpartnerid p -installdirectory D:\\Books"
        " -parametersfilepath " +
        Quoted(ini);
    ConsentFlow consent;
    EXPECT_EQ(1, consent.RunConsent(tail.c_str()));
    EXPECT_STREQ("from-file", consent.Parameters().authoruserid.CStr());
    EXPECT_STREQ("p", consent.Parameters().authorpartnerid.CStr());
    EXPECT_STREQ(ini.c_str(), consent.Parameters().parametersfilepath.CStr());

    SetupFlow setup;
    EXPECT_EQ(1, setup.RunSetup(("-targetfilepath start.htm" + tail).c_str()));
    EXPECT_STREQ("index.htm", setup.Parameters().targetfilepath.CStr());
    EXPECT_STREQ("D:\\Books", setup.Parameters().installdirectory.CStr());
}

TEST_F(Program, OverlongValuesAreRefusedNotCut) {
    const std::string long_mode(1024, '3');
    LaunchParameters launch;
    EXPECT_EQ(1, DispatchMode(("-mode " + long_mode).c_str(), launch));
    EXPECT_TRUE(launch.mode.Empty());

    const std::string fits(1023, 'a');
    ConsentFlow consent;
    consent.RunConsent(("-autorunbookid " + fits + " -authoruserid " + fits + "b").c_str());
    EXPECT_EQ(fits, consent.Parameters().autorunbookid.CStr());
    EXPECT_TRUE(consent.Parameters().authoruserid.Empty());

    const std::string name259(259, 'n');
    SetupFlow setup;
    setup.RunSetup(
        ("-desktopshortcutname " + name259 + " -openshortcutname " + name259 + "n").c_str());
    EXPECT_EQ(name259, setup.Parameters().desktopshortcutname.CStr());
    EXPECT_TRUE(setup.Parameters().openshortcutname.Empty());

    // A value that does not fit is as if it had not been given: the earlier one stays, whether
    // it came from the command line or the file.
    ConsentFlow again;
    again.RunConsent(("-autorunbookid good -autorunbookid " + fits + "x").c_str());
    EXPECT_STREQ("good", again.Parameters().autorunbookid.CStr());
    const std::string ini =
        dir_.Write("p.ini", "[parameters]\ntargetfilepath=" + name259 + "n\nmode=" + long_mode);
    const std::string file_options = "-mode 2 -targetfilepath index.htm -parametersfilepath " + Quoted(ini);
    LaunchParameters file_launch;
    DispatchMode(file_options.c_str(), file_launch);
    EXPECT_STREQ("2", file_launch.mode.CStr());
    SetupFlow file_setup;
    file_setup.RunSetup(file_options.c_str());
    EXPECT_STREQ("index.htm", file_setup.Parameters().targetfilepath.CStr());
}

TEST_F(Program, ComFailureEndsTheRunWithZeroAndNoResultFile) {
    const std::string rtp = dir_.File("r.rtp");
    platform::fault::FailCall("CoInitialize");
    EXPECT_EQ(0, RunProgram(("-mode 3 -rtpfilename " + Quoted(rtp)).c_str()));
    EXPECT_EQ("<missing>", dir_.Read("r.rtp"));
}

TEST_F(Program, NoFailingCallLosesTheCallersResultFile) {
    const std::string before = "[caller]\r\nstate=kept\r\n";
    const std::string ini = dir_.Write("p.ini", "[parameters]\nmode=3\n[other]\nx=1\n");
    const std::string command_line = "-mode 7 -parametersfilepath " + Quoted(ini) +
                                     " -rtpfilename " + Quoted(dir_.File("r.rtp"));
    platform::fault::Reset();
    RunProgram(("-mode 7 -parametersfilepath " + Quoted(ini)).c_str());
    const long calls_before_write = platform::fault::CallCount();
    platform::fault::Reset();
    dir_.Write("r.rtp", before);
    EXPECT_EQ(1, RunProgram(command_line.c_str()));
    const long calls = platform::fault::CallCount();
    // COM, the file's section list (twice: 16 bytes are too few), keys of [parameters], mode,
    // keys of [other], x.
    ASSERT_EQ(7, calls_before_write);
    EXPECT_GT(calls, calls_before_write);

    for (long n = 0; n <= calls; ++n) {  // 0: nothing fails
        SCOPED_TRACE("failing call " + std::to_string(n));
        dir_.Write("r.rtp", before);
        platform::fault::Reset();
        platform::fault::FailNth(n);
        const int code = RunProgram(command_line.c_str());
        platform::fault::Reset();
        // 0 when COM failed, or when a failed list read hid the file's mode 3 so that the
        // command line's 7 stood; a failed value read ends the run before any mode, with 1.
        EXPECT_EQ(n >= 1 && n <= 4 ? 0 : 1, code);
        char state[16];
        platform::IniReadString("caller", "state", "<lost>", state, sizeof state,
                                dir_.File("r.rtp").c_str());
        EXPECT_STREQ("kept", state);
        const std::string exit_code = ExitCodeIn(dir_.File("r.rtp"));
        // The result file is missing its entry only when COM or the write itself failed.
        EXPECT_TRUE(exit_code == "0" ||
                    (exit_code == "<none>" && (n == 1 || n > calls_before_write)))
            << exit_code;
    }
}

TEST_F(Program, MegabyteValuesAreRefusedInFewReads) {
    const std::string big(1 << 20, 'x');
    const std::string ini = dir_.Write("p.ini", "[parameters]\nauthoruserid=" + big + "\nmode=1\n");
    const std::string command_line =
        "-mode 7 -autorunbookid " + big + " -parametersfilepath " + Quoted(ini);
    EXPECT_EQ(1, RunProgram(command_line.c_str()));
    // Two readings of the file (the launch options, then mode 1's), the megabyte value in 15
    // reads each as the buffer doubles: a buffer grown by steps would take thousands.
    EXPECT_LT(platform::fault::CallCount("GetPrivateProfileString"), 50);
    ConsentFlow consent;
    consent.RunConsent(command_line.c_str());
    EXPECT_TRUE(consent.Parameters().autorunbookid.Empty());  // too long for its field: refused
    EXPECT_TRUE(consent.Parameters().authoruserid.Empty());
}

}  // namespace
}  // namespace wbh
