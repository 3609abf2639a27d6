// Windows process entry: keep the handles, then run the program on the command-line text that
// the start-up hands over (the arguments after the program's name).
#include <windows.h>

#include "app/program.h"
#include "platform/win32/module.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    wbh::platform::win32::Instance() = instance;
    wbh::platform::win32::Module() = GetModuleHandleA(nullptr);
    return wbh::RunProgram(command_line);
}
