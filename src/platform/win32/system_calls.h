// The Win32 calls of the Windows layer whose failures the program handles, made through one
// table rather than by name, as SQLite's os_unix.c keeps its aSyscall[]: the program holds the
// real functions, and a test may put in their place functions that fail as Windows fails (the
// same error code or HRESULT), so that the layer's own error handling runs.
#pragma once

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

namespace wbh::platform::win32 {

struct SystemCalls {
    decltype(&::RegOpenKeyExW) RegOpenKeyExW;
    decltype(&::RegCreateKeyExW) RegCreateKeyExW;
    decltype(&::RegQueryValueExW) RegQueryValueExW;
    decltype(&::RegSetValueExW) RegSetValueExW;
    decltype(&::RegDeleteValueW) RegDeleteValueW;
    decltype(&::RegQueryInfoKeyW) RegQueryInfoKeyW;
    decltype(&::RegCloseKey) RegCloseKey;
    decltype(&::CoInitialize) CoInitialize;
    decltype(&::CoCreateInstance) CoCreateInstance;
    decltype(&::CoCreateGuid) CoCreateGuid;
    decltype(&::CLSIDFromString) CLSIDFromString;
    decltype(&::StringFromCLSID) StringFromCLSID;
    decltype(&::LoadStringW) LoadStringW;
    decltype(&::DialogBoxParamW) DialogBoxParamW;
    decltype(&::GetPrivateProfileStringW) GetPrivateProfileStringW;
    decltype(&::WritePrivateProfileStringW) WritePrivateProfileStringW;
    decltype(&::MoveFileExW) MoveFileExW;
    decltype(&::LoadLibraryExW) LoadLibraryExW;
    // shell32's, loaded on the first call (system_library.h); missing, they fail as the call
    // fails.
    decltype(&::SHGetSpecialFolderLocation) SHGetSpecialFolderLocation;
    decltype(&::SHGetPathFromIDListW) SHGetPathFromIDListW;
    decltype(&::ShellExecuteW) ShellExecuteW;
    decltype(&::SHChangeNotify) SHChangeNotify;
};

// The process's one table, holding the real functions until a test replaces some.
SystemCalls& Sys();

}  // namespace wbh::platform::win32
