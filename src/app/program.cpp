// Entry and mode dispatch. The launch level reads only mode, rtpfilename and
// parametersfilepath; each mode flow takes the same command line and file again into its own set.
#include "app/program.h"

#include <climits>
#include <string>

#include "common/no_throw.h"
#include "consent/consent_flow.h"
#include "params/parameter_intake.h"
#include "platform/com.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "setup/setup_flow.h"

namespace wbh {

namespace {

// The file may choose the mode; only the caller names the result file and the parameters file.
const Option<LaunchParameters> kLaunchOptions[] = {
    {"mode", true, FieldOf<&LaunchParameters::mode>},
    {"rtpfilename", false, FieldOf<&LaunchParameters::rtpfilename>},
    {kParametersFileOption, false, FieldOf<&LaunchParameters::parametersfilepath>},
};

}  // namespace

bool IsProgramOption(std::string_view name) {
    return HasOption(kLaunchOptions, name) || IsConsentOption(name) || IsSetupOption(name);
}

long ReadModeNumber(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    long number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        if (number > (LONG_MAX - digit) / 10) {
            number = LONG_MAX;  // far out of range either way: not a mode
            break;
        }
        number = number * 10 + digit;
    }
    return negative ? -number : number;
}

int DispatchMode(const char* command_line, LaunchParameters& p) {
    if (TakeParameters(command_line, kLaunchOptions, p) == 0) return 1;
    if (p.mode.Empty()) return 1;

    switch (ReadModeNumber(p.mode.CStr())) {
        case 1:
            return ConsentFlow().RunConsent(command_line);
        case 2:
            return SetupFlow().RunSetup(command_line);
        case 3:
            return 1;
        default:
            return 0;
    }
}

void WriteResultFile(const char* file, int code) {
    // A device name ("NUL", "com1.rtp") is no file to leave a result in.
    if (platform::files::CheckName(file) != platform::files::NameRule::kFile) return;
    platform::IniWriteString("ADRTP", "ExitCode", std::to_string(code).c_str(), file);
}

int RunProgram(const char* command_line) {
    platform::ComScope com;
    if (!com.Ok()) return 0;

    LaunchParameters p;
    // Running out of memory ends the mode where it was, as a failed step would; the caller
    // still gets its result file.
    const int code = NoThrow(1, [&] { return DispatchMode(command_line, p); });
    // The caller learns the outcome from the exit code; the file always says 0.
    if (!p.rtpfilename.Empty()) WriteResultFile(p.rtpfilename.CStr(), 0);
    return code;
}

}  // namespace wbh
