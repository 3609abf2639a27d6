// Entry and mode dispatch. The launch level reads only mode, rtpfilename and
// parametersfilepath; each mode flow scans the same command line again with its own handlers.
#include "app/program.h"

#include <climits>
#include <string>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "consent/consent_flow.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"
#include "platform/com.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "setup/setup_flow.h"

namespace wbh {

int LaunchOptionHandler(LaunchParameters& p, const char* name, const char* value) {
    if (EqualsNoCase(name, "mode")) {
        p.mode.Assign(value);
    } else if (EqualsNoCase(name, "rtpfilename")) {
        p.rtpfilename.Assign(value);
    } else if (EqualsNoCase(name, "parametersfilepath")) {
        p.parametersfilepath.Assign(value);
    }
    return 1;
}

int LaunchEntryHandler(LaunchParameters& p, const char* section, const char* key,
                       const char* value) {
    if (key != nullptr && EqualsNoCase(section, "parameters") && EqualsNoCase(key, "mode")) {
        p.mode.Assign(value);
    }
    return 1;
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
    ScanCommandLine(command_line, [&p](const char* name, const char* value) {
        return LaunchOptionHandler(p, name, value);
    });
    if (!p.parametersfilepath.Empty() &&
        ReadParametersFile(p.parametersfilepath.CStr(),
                           [&p](const char* section, const char* key, const char* value) {
                               return LaunchEntryHandler(p, section, key, value);
                           }) == 0) {
        return 1;
    }
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
