// The whole run in process: mode choice and exit codes, the result file, the parameters file
// overriding the command line, bounded fields, and the COM failure path.
#include "app/program.h"

#include <gtest/gtest.h>

#include <string>

#include "consent/consent_flow.h"
#include "platform/fault.h"
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
    EXPECT_EQ(0, RunProgram("-mode 7 -rtpfilename"));
    EXPECT_TRUE(LaunchParams().rtpfilename.Empty());
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
        EXPECT_STREQ(rtp.c_str(), LaunchParams().rtpfilename.CStr());
        EXPECT_EQ("0", ExitCodeIn(rtp));
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
    EXPECT_EQ(1, RunProgram(("-mode 01" + tail).c_str()));  // 01 runs mode 1
    EXPECT_STREQ("from-file", ConsentParams().authoruserid.CStr());
    EXPECT_STREQ("p", ConsentParams().authorpartnerid.CStr());
    EXPECT_STREQ(ini.c_str(), ConsentParams().parametersfilepath.CStr());

    EXPECT_EQ(1, RunProgram(("-mode 2x -targetfilepath start.htm" + tail).c_str()));
    EXPECT_STREQ("index.htm", SetupParams().targetfilepath.CStr());
    EXPECT_STREQ("D:\\Books", SetupParams().installdirectory.CStr());
}

TEST_F(Program, OverlongValuesAreRefusedNotCut) {
    const std::string rtp = dir_.File("r.rtp");
    const std::string long_mode(1024, '3');
    EXPECT_EQ(1, RunProgram(("-mode " + long_mode + " -rtpfilename " + Quoted(rtp)).c_str()));
    EXPECT_TRUE(LaunchParams().mode.Empty());

    const std::string fits(1023, 'a');
    RunProgram(("-mode 1 -autorunbookid " + fits + " -authoruserid " + fits + "b").c_str());
    EXPECT_EQ(fits, ConsentParams().autorunbookid.CStr());
    EXPECT_TRUE(ConsentParams().authoruserid.Empty());

    const std::string name259(259, 'n');
    RunProgram(("-mode 2 -desktopshortcutname " + name259 + " -openshortcutname " + name259 + "n")
                   .c_str());
    EXPECT_EQ(name259, SetupParams().desktopshortcutname.CStr());
    EXPECT_TRUE(SetupParams().openshortcutname.Empty());

    // A value that does not fit is as if it had not been given: the earlier one stays, whether
    // it came from the command line or the file.
    RunProgram(("-mode 1 -autorunbookid good -autorunbookid " + fits + "x").c_str());
    EXPECT_STREQ("good", ConsentParams().autorunbookid.CStr());
    const std::string ini =
        dir_.Write("p.ini", "[parameters]\ntargetfilepath=" + name259 + "n\nmode=" + long_mode);
    RunProgram(("-mode 2 -targetfilepath index.htm -parametersfilepath " + Quoted(ini)).c_str());
    EXPECT_STREQ("index.htm", SetupParams().targetfilepath.CStr());
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
    EXPECT_TRUE(ConsentParams().autorunbookid.Empty());  // too long for its field: refused
    EXPECT_TRUE(ConsentParams().authoruserid.Empty());
    // Two readings of the file (the launch options, then mode 1's), the megabyte value in 15
    // reads each as the buffer doubles: a buffer grown by steps would take thousands.
    EXPECT_LT(platform::fault::CallCount("GetPrivateProfileString"), 50);
}

}  // namespace
}  // namespace wbh
