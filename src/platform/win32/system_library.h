// Functions of the system DLLs that only some runs need (shell32 and oleaut32), found on first
// use: a run that needs none of them does not load them, nor the many DLLs they load in turn.
#pragma once

#include <windows.h>

namespace wbh::platform::win32 {

// The address of `name` in the system DLL `library` (loaded from the system folder only, and
// kept to the end of the process), or null when either is missing. Where the loader refuses to
// be told to search the system folder only (Windows 7 without its update), the DLL is loaded by
// its full path there.
void* SystemFunction(const wchar_t* library, const char* name);

// SystemFunction with the function's own type, e.g.
// SystemProc<decltype(ShellExecuteA)>(L"shell32.dll", "ShellExecuteA").
template <class Function>
Function* SystemProc(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function*>(SystemFunction(library, name));
}

}  // namespace wbh::platform::win32
