// Where tests reach into the platform layer: every platform call that can fail asks Fail first
// and, when told to, fails as the real call would; NewGuid takes planted GUIDs first. The hooks
// are null in the program, which then only tests a pointer: the tables that arm them, and the
// calls' names, live in the tests.
#pragma once

namespace wbh::platform {
struct Guid;
}

namespace wbh::platform::fault {

// The injectable calls, named after the system call each one stands for (the POSIX build
// names its own). The names are kept as identifiers only: the tests spell them out.
#define WBH_FAULT_CALLS(X)       \
    X(CLSIDFromString)           \
    X(CoCreateGuid)              \
    X(CoCreateInstance)          \
    X(CoInitialize)              \
    X(CreateTempFile)            \
    X(DesktopDirectory)          \
    X(DialogBoxParam)            \
    X(GetModuleHandle)           \
    X(GetPrivateProfileString)   \
    X(GetProcAddress)            \
    X(LoadLibraryEx)             \
    X(LoadString)                \
    X(MultiByteToWideChar)       \
    X(ProbePath)                 \
    X(QueryInterface)            \
    X(ReadProfileFile)           \
    X(RegCloseKey)               \
    X(RegCreateKeyEx)            \
    X(RegDeleteValue)            \
    X(RegOpenKeyEx)              \
    X(RegQueryInfoKey)           \
    X(RegQueryValueEx)           \
    X(RegSetValueEx)             \
    X(RenameTempFile)            \
    X(ReplaceFile)               \
    X(SHChangeNotify)            \
    X(ShellExecute)              \
    X(StringFromCLSID)           \
    X(WideCharToMultiByte)       \
    X(WritePrivateProfileString) \
    X(WriteTempFile)             \
    X(getpwuid_r)

// Token pasting keeps Windows' A/W macros (GetModuleHandle, LoadString, ...) out of the names.
#define WBH_FAULT_ENUMERATOR(name) k##name,
enum class Call { WBH_FAULT_CALLS(WBH_FAULT_ENUMERATOR) kCount };
#undef WBH_FAULT_ENUMERATOR

// Set by tests only.
extern bool (*g_fail_hook)(Call call);
extern bool (*g_planted_guid_hook)(Guid& guid);

// Asked by the platform layer before each injectable call: true means "fail this one".
inline bool Fail(Call call) { return g_fail_hook != nullptr && g_fail_hook(call); }

// Asked by NewGuid before it makes a new GUID: true when `guid` is one a test planted.
inline bool TakePlantedGuid(Guid& guid) {
    return g_planted_guid_hook != nullptr && g_planted_guid_hook(guid);
}

}  // namespace wbh::platform::fault
