// The Windows layer's calls made to fail as Windows fails them: each entry of the table is
// replaced, before the tests start, by a function that counts the call under its name and either
// fails with Windows' own code or calls the real function.
#include <cstring>

#include "platform/guid.h"
#include "platform/win32/system_calls.h"
#include "support/system_faults.h"

namespace wbh::platform::fault {

const char* const kInjectable[] = {
    "key",          "key create",      "value read",     "value write",        "new guid",
    "guid text",    "string resource", "desktop folder", "association notice", "dialog",
    "open document", "replace file",   "profile read",   "CoCreateInstance",   "LoadLibraryExW",
    "key close"};
const std::size_t kInjectableCount = sizeof kInjectable / sizeof kInjectable[0];

namespace {

const win32::SystemCalls g_real = win32::Sys();

LONG WINAPI OpenKey(HKEY parent, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    if (Fails("key")) return ERROR_ACCESS_DENIED;
    return g_real.RegOpenKeyExW(parent, path, options, access, key);
}

LONG WINAPI CreateKey(HKEY parent, LPCWSTR path, DWORD reserved, LPWSTR kind, DWORD options,
                      REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key,
                      LPDWORD disposition) {
    // Both counted: a row may fail either.
    if (Fails("key") | Fails("key create")) return ERROR_ACCESS_DENIED;
    return g_real.RegCreateKeyExW(parent, path, reserved, kind, options, access, security, key,
                                  disposition);
}

LONG WINAPI QueryValue(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                       LPDWORD size) {
    if (Fails("value read")) return ERROR_ACCESS_DENIED;
    return g_real.RegQueryValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI SetValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data,
                     DWORD size) {
    if (Fails("value write")) return ERROR_ACCESS_DENIED;
    return g_real.RegSetValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI CloseKey(HKEY key) {
    Fails("key close");  // counted only
    return g_real.RegCloseKey(key);
}

HRESULT WINAPI NewGuid(GUID* guid) {
    if (Fails("new guid")) return HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS);
    Guid planted;
    if (TakePlantedGuid(planted)) {
        std::memcpy(guid, &planted, sizeof *guid);
        return S_OK;
    }
    return g_real.CoCreateGuid(guid);
}

HRESULT WINAPI GuidText(REFCLSID guid, LPOLESTR* text) {
    if (Fails("guid text")) {
        *text = nullptr;
        return E_OUTOFMEMORY;
    }
    return g_real.StringFromCLSID(guid, text);
}

int WINAPI LoadText(HINSTANCE module, UINT id, LPWSTR buffer, int size) {
    if (Fails("string resource")) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    return g_real.LoadStringW(module, id, buffer, size);
}

HRESULT WINAPI LocateFolder(HWND owner, int folder, PIDLIST_ABSOLUTE* list) {
    if (Fails("desktop folder")) {
        *list = nullptr;
        return E_FAIL;
    }
    return g_real.SHGetSpecialFolderLocation(owner, folder, list);
}

void WINAPI Notify(LONG event, UINT flags, LPCVOID item1, LPCVOID item2) {
    if (!Fails("association notice")) g_real.SHChangeNotify(event, flags, item1, item2);
}

INT_PTR WINAPI Dialog(HINSTANCE module, LPCWSTR name, HWND owner, DLGPROC procedure,
                      LPARAM parameter) {
    if (Fails("dialog")) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return -1;
    }
    return g_real.DialogBoxParamW(module, name, owner, procedure, parameter);
}

HINSTANCE WINAPI Execute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                         LPCWSTR folder, INT show) {
    if (Fails("open document")) return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    return g_real.ShellExecuteW(owner, verb, file, parameters, folder, show);
}

BOOL WINAPI Move(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (Fails("replace file")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return g_real.MoveFileExW(from, to, flags);
}

DWORD WINAPI ReadProfile(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer,
                         DWORD size, LPCWSTR file) {
    Fails("profile read");
    return g_real.GetPrivateProfileStringW(section, key, fallback, buffer, size, file);
}

HRESULT WINAPI CreateInstance(REFCLSID kind, LPUNKNOWN outer, DWORD context, REFIID interface_id,
                              LPVOID* object) {
    if (Fails("CoCreateInstance")) {
        *object = nullptr;
        return REGDB_E_CLASSNOTREG;
    }
    return g_real.CoCreateInstance(kind, outer, context, interface_id, object);
}

// Windows 7 without its update refuses the flag that limits the search to the system folder.
HMODULE WINAPI LoadSystemLibrary(LPCWSTR name, HANDLE file, DWORD flags) {
    if ((flags & LOAD_LIBRARY_SEARCH_SYSTEM32) != 0 && Fails("LoadLibraryExW")) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return g_real.LoadLibraryExW(name, file, flags);
}

const bool g_installed = [] {
    static_assert(sizeof kInjectable / sizeof kInjectable[0] <= 32, "the fault table's size");
    win32::SystemCalls& calls = win32::Sys();
    calls.RegOpenKeyExW = OpenKey;
    calls.RegCreateKeyExW = CreateKey;
    calls.RegQueryValueExW = QueryValue;
    calls.RegSetValueExW = SetValue;
    calls.RegCloseKey = CloseKey;
    calls.CoCreateGuid = NewGuid;
    calls.StringFromCLSID = GuidText;
    calls.LoadStringW = LoadText;
    calls.SHGetSpecialFolderLocation = LocateFolder;
    calls.SHChangeNotify = Notify;
    calls.DialogBoxParamW = Dialog;
    calls.ShellExecuteW = Execute;
    calls.MoveFileExW = Move;
    calls.GetPrivateProfileStringW = ReadProfile;
    calls.CoCreateInstance = CreateInstance;
    calls.LoadLibraryExW = LoadSystemLibrary;
    return true;
}();

}  // namespace
}  // namespace wbh::platform::fault
