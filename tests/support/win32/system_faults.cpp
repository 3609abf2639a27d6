// The Windows layer's calls made to fail as Windows fails them: before the tests start, each table
// entry becomes a function that counts its call by name, then fails or calls the real function.
#include "support/system_faults.h"

#include <cstring>
#include <tuple>

#include "platform/guid.h"
#include "platform/win32/system_calls.h"

namespace wbh::platform::fault {

const char* const kInjectable[] = {
    "key",           "key create",      "value read",     "value write",        "new guid",
    "guid text",     "string resource", "desktop folder", "association notice", "dialog",
    "open document", "replace file",    "profile read",   "CoCreateInstance",   "LoadLibraryExW",
    "key close"};
const std::size_t kInjectableCount = sizeof kInjectable / sizeof kInjectable[0];

namespace {

const win32::SystemCalls g_real = win32::Sys();

// A failure that Windows reports through the thread's last error.
template <typename Result>
Result Failed(DWORD error, Result result) {
    SetLastError(error);
    return result;
}

// A failure that empties the call's last parameter, where the object or text would have gone.
template <typename... Args>
HRESULT Emptied(HRESULT result, Args... args) {
    *std::get<sizeof...(Args) - 1>(std::tie(args...)) = nullptr;
    return result;
}

// Each replacement is a capture-less lambda, which converts to the entry's function pointer (x64
// has one calling convention), taking the entry's own parameters as `auto... a`. FAILS_WITH answers
// `failure` (void() for a call without a result) when the call is to fail; COUNTED only counts.
#define FAILS_WITH(entry, name, failure) \
    calls.entry = [](auto... a) { return Fails(name) ? failure : g_real.entry(a...); }
#define COUNTED(entry, name) FAILS_WITH(entry, name, g_real.entry(a...))
const bool g_installed = [] {
    static_assert(sizeof kInjectable / sizeof kInjectable[0] <= kMostNames);
    win32::SystemCalls& calls = win32::Sys();
    FAILS_WITH(RegOpenKeyExW, "key", ERROR_ACCESS_DENIED);
    calls.RegCreateKeyExW = [](auto... a) -> LONG {
        const bool fails = Fails("key") | Fails("key create");  // both counted: not ||
        return fails ? ERROR_ACCESS_DENIED : g_real.RegCreateKeyExW(a...);
    };
    FAILS_WITH(RegQueryValueExW, "value read", ERROR_ACCESS_DENIED);
    FAILS_WITH(RegSetValueExW, "value write", ERROR_ACCESS_DENIED);
    COUNTED(RegCloseKey, "key close");
    calls.CoCreateGuid = [](GUID* guid) -> HRESULT {
        if (Fails("new guid")) return HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS);
        Guid planted;
        if (!TakePlantedGuid(planted)) return g_real.CoCreateGuid(guid);
        std::memcpy(guid, &planted, sizeof *guid);
        return S_OK;
    };
    FAILS_WITH(StringFromCLSID, "guid text", Emptied(E_OUTOFMEMORY, a...));
    FAILS_WITH(LoadStringW, "string resource", Failed(ERROR_RESOURCE_NAME_NOT_FOUND, 0));
    FAILS_WITH(SHGetSpecialFolderLocation, "desktop folder", Emptied(E_FAIL, a...));
    FAILS_WITH(SHChangeNotify, "association notice", void());
    FAILS_WITH(DialogBoxParamW, "dialog", Failed(ERROR_RESOURCE_NAME_NOT_FOUND, INT_PTR{-1}));
    FAILS_WITH(ShellExecuteW, "open document", reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC));
    FAILS_WITH(MoveFileExW, "replace file", Failed(ERROR_ACCESS_DENIED, FALSE));
    COUNTED(GetPrivateProfileStringW, "profile read");
    FAILS_WITH(CoCreateInstance, "CoCreateInstance", Emptied(REGDB_E_CLASSNOTREG, a...));
    // Windows 7 without its update refuses the flag that limits the search to the system folder.
    calls.LoadLibraryExW = [](LPCWSTR name, HANDLE file, DWORD flags) -> HMODULE {
        const bool refused = (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) != 0 && Fails("LoadLibraryExW");
        return refused ? Failed(ERROR_INVALID_PARAMETER, HMODULE{})
                       : g_real.LoadLibraryExW(name, file, flags);
    };
    return true;
}();

}  // namespace
}  // namespace wbh::platform::fault
