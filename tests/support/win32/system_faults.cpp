// The Windows layer's calls made to fail as Windows fails them: each entry of the table is
// replaced, before the tests start, by a function that counts the call under its name and either
// fails with Windows' own code or calls the real function.
#include "support/system_faults.h"

#include <cstring>

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

// Each replacement is a lambda without captures, which converts to the entry's function pointer
// (x64 has one calling convention); `auto... a` takes the entry's own parameters. FAILS_WITH's
// entry answers `failure` when its call is to fail; COUNTED's only counts its calls.
#define FAILS_WITH(entry, name, failure) \
    calls.entry = [](auto... a) { return Fails(name) ? failure : g_real.entry(a...); }
#define COUNTED(entry, name) FAILS_WITH(entry, name, g_real.entry(a...))
const bool g_installed = [] {
    static_assert(sizeof kInjectable / sizeof kInjectable[0] <= kMostNames);
    win32::SystemCalls& calls = win32::Sys();
    FAILS_WITH(RegOpenKeyExW, "key", ERROR_ACCESS_DENIED);
    calls.RegCreateKeyExW = [](auto... a) -> LONG {
        // Both counted: a row may fail either.
        const bool fails = Fails("key") | Fails("key create");
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
    calls.StringFromCLSID = [](REFCLSID guid, LPOLESTR* text) -> HRESULT {
        if (!Fails("guid text")) return g_real.StringFromCLSID(guid, text);
        *text = nullptr;
        return E_OUTOFMEMORY;
    };
    FAILS_WITH(LoadStringW, "string resource", Failed(ERROR_RESOURCE_NAME_NOT_FOUND, 0));
    calls.SHGetSpecialFolderLocation = [](HWND owner, int folder,
                                          PIDLIST_ABSOLUTE* list) -> HRESULT {
        if (!Fails("desktop folder")) return g_real.SHGetSpecialFolderLocation(owner, folder, list);
        *list = nullptr;
        return E_FAIL;
    };
    calls.SHChangeNotify = [](auto... a) {
        if (!Fails("association notice")) g_real.SHChangeNotify(a...);
    };
    FAILS_WITH(DialogBoxParamW, "dialog", Failed(ERROR_RESOURCE_NAME_NOT_FOUND, INT_PTR{-1}));
    FAILS_WITH(ShellExecuteW, "open document", reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC));
    FAILS_WITH(MoveFileExW, "replace file", Failed(ERROR_ACCESS_DENIED, FALSE));
    COUNTED(GetPrivateProfileStringW, "profile read");
    calls.CoCreateInstance = [](REFCLSID kind, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID* object) -> HRESULT {
        if (Fails("CoCreateInstance")) {
            *object = nullptr;
            return REGDB_E_CLASSNOTREG;
        }
        return g_real.CoCreateInstance(kind, outer, context, iid, object);
    };
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
