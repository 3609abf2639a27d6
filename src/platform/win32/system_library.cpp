#include "platform/win32/system_library.h"

#include <cwchar>

#include "platform/win32/system_calls.h"

namespace wbh::platform::win32 {
namespace {

// `library` by its full path in the system folder. Its own imports are looked for beside it
// first, not beside the program.
HMODULE LoadFromSystemFolder(const wchar_t* library) {
    wchar_t path[MAX_PATH];
    const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
    const std::size_t name = std::wcslen(library);
    // A result of MAX_PATH or more is the size the folder would need.
    if (folder == 0 || folder + 1 + name >= MAX_PATH) return nullptr;
    path[folder] = L'\\';
    std::wmemcpy(path + folder + 1, library, name + 1);
    return Sys().LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void* SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = Sys().LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 knows the search flags only with its update KB2533623, and refuses them without.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadFromSystemFolder(library);
    }
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

}  // namespace wbh::platform::win32
