// The real functions behind the Windows layer's table of calls; shell32's are found when first
// called, so that a run that needs none of them does not load it.
#include "platform/win32/system_calls.h"

#include "platform/win32/system_library.h"

namespace wbh::platform::win32 {
namespace {

HRESULT WINAPI LocateFolder(HWND owner, int folder, PIDLIST_ABSOLUTE* list) {
    static const auto locate = SystemProc<decltype(SHGetSpecialFolderLocation)>(
        L"shell32.dll", "SHGetSpecialFolderLocation");
    return locate != nullptr ? locate(owner, folder, list) : E_FAIL;
}

BOOL WINAPI PathFromItemList(PCIDLIST_ABSOLUTE list, LPWSTR path) {
    static const auto to_path =
        SystemProc<decltype(SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    return to_path != nullptr && to_path(list, path);
}

HINSTANCE WINAPI Execute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                         INT show) {
    static const auto execute =
        SystemProc<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute == nullptr) return reinterpret_cast<HINSTANCE>(SE_ERR_DLLNOTFOUND);
    return execute(owner, verb, file, parameters, folder, show);
}

void WINAPI Notify(LONG event, UINT flags, LPCVOID item1, LPCVOID item2) {
    static const auto notify =
        SystemProc<decltype(SHChangeNotify)>(L"shell32.dll", "SHChangeNotify");
    if (notify != nullptr) notify(event, flags, item1, item2);
}

}  // namespace

SystemCalls& Sys() {
    static SystemCalls calls = {&::RegOpenKeyExW,
                                &::RegCreateKeyExW,
                                &::RegQueryValueExW,
                                &::RegSetValueExW,
                                &::RegDeleteValueW,
                                &::RegQueryInfoKeyW,
                                &::RegCloseKey,
                                &::CoInitialize,
                                &::CoCreateInstance,
                                &::CoCreateGuid,
                                &::CLSIDFromString,
                                &::StringFromCLSID,
                                &::LoadStringW,
                                &::DialogBoxParamW,
                                &::GetPrivateProfileStringW,
                                &::WritePrivateProfileStringW,
                                &::MoveFileExW,
                                &::LoadLibraryExW,
                                &LocateFolder,
                                &PathFromItemList,
                                &Execute,
                                &Notify};
    return calls;
}

}  // namespace wbh::platform::win32
