// Process entry, shared by both platforms: the platform's start-up turns the process start into
// a call of RunProgram with the command-line text after the program's own name, and exits with
// its result.
#pragma once

#include <string_view>

#include "common/bounded_text.h"

namespace wbh {

// The three launch parameters, owned by the run; each value must fit 1023 characters or it is
// refused.
struct LaunchParameters {
    BoundedText<1024> mode;
    BoundedText<1024> rtpfilename;
    BoundedText<1024> parametersfilepath;
};

// Whether any level (the launch, mode 1, mode 2) reads an option of that name.
bool IsProgramOption(std::string_view name);

// Reads the launch parameters into `p` and runs the chosen mode; returns the exit code.
int DispatchMode(const char* command_line, LaunchParameters& p);

// Sets ExitCode in section ADRTP of the file; a failed write is not reported.
void WriteResultFile(const char* file, int code);

// The whole run: COM bracket, dispatch, result file. Returns the process exit code:
// 0 when COM cannot be initialised (and then nothing else happens).
int RunProgram(const char* command_line);

// "mode" as a number: leading blanks, optional sign, decimal digits up to the first other
// character; no digits reads as 0. Saturates instead of overflowing.
long ReadModeNumber(const char* text);

}  // namespace wbh
