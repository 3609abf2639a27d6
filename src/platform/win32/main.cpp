// Windows process entry: keep the handles, then run the program on the arguments after the
// program's own name, read as UTF-16 and converted exactly to the program's UTF-8. A command
// line that does not convert (an unpaired surrogate) is refused whole: the run gets no options,
// as no part of it can be trusted to say what was meant.
#include <windows.h>

#include <string>

#include "app/program.h"
#include "common/no_throw.h"
#include "platform/win32/module.h"
#include "platform/win32/wide_text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    wbh::platform::win32::Instance() = instance;
    wbh::platform::win32::Module() = GetModuleHandleW(nullptr);
    std::string command_line;
    // Running out of memory here leaves the command line empty, as nothing may leave WinMain.
    wbh::NoThrow(false, [&] { return wbh::platform::win32::CommandLineArguments(command_line); });
    return wbh::RunProgram(command_line.c_str());
}
