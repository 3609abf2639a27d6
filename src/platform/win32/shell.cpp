// The Windows shell through its wide calls: the desktop folder through its item list, shortcuts
// through the shell link object (IShellLinkW and its IPersistFile), and ShellExecuteW for
// opening a file with its associated application. Every path is converted exactly, so the
// shell never sees a look-alike of a name. shell32 is loaded only when a run needs it.
#include "platform/shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "common/no_throw.h"
#include "platform/files.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform::shell {

const char kShortcutExtension[] = ".lnk";

namespace {

static_assert(kFailed == E_FAIL);

// A creation call that succeeded without an object: its code with the failure bit set, so
// the caller still sees which call it was and never takes it for a success.
HRESULT AsFailure(HRESULT result) {
    return FAILED(result) ? result : static_cast<HRESULT>(result | 0x80000000u);
}

// Sets a text on the link; one that does not convert is not set, as a failed call would
// leave it.
template <typename Set>
void SetText(const char* text, Set set) {
    NoThrow(0, [&] {
        const win32::WideArgument wide(text);
        if (wide.Ok() && wide.Get() != nullptr) set(wide.Get());
        return 0;
    });
}

}  // namespace

HResult DesktopDirectory(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return kFailed;
    buffer[0] = '\0';
    win32::ItemList list;
    const HRESULT located =
        win32::Sys().SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, list.Put());
    if (FAILED(located)) return located;
    if (list.Get() == nullptr) return kFailed;
    wchar_t path[MAX_PATH] = L"";
    if (win32::Sys().SHGetPathFromIDListW(list.Get(), path) == FALSE) return kFailed;
    std::string text;
    if (!NoThrow(false, [&] { return win32::ToUtf8(path, text); })) return kFailed;
    if (text.size() >= static_cast<std::size_t>(size)) return kFailed;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return S_OK;
}

HResult SaveShortcut(const char* path, const char*, const char* target, const char* icon) {
    if (files::CheckName(path) != files::NameRule::kFile) return kFailed;
    win32::ComPtr<IShellLinkW> link;
    const HRESULT created =
        win32::Sys().CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(link.Put()));
    if (FAILED(created) || link.Get() == nullptr) return AsFailure(created);
    win32::ComPtr<IPersistFile> persist;
    const HRESULT queried =
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Put()));
    if (FAILED(queried) || persist.Get() == nullptr) return AsFailure(queried);
    SetText(target, [&](const wchar_t* wide) { link->SetPath(wide); });
    if (icon[0] != '\0')
        SetText(icon, [&](const wchar_t* wide) { link->SetIconLocation(wide, 0); });
    // A path beyond the path limit could not be created anyway: it is refused.
    return NoThrow(static_cast<HResult>(E_OUTOFMEMORY), [&]() -> HResult {
        const win32::WidePath wide(path);
        if (!wide.Ok()) return kFailed;
        return persist->Save(wide.Get(), TRUE);
    });
}

bool OpenWithShell(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    return NoThrow(false, [&] {
        const win32::WidePath wide(path);
        if (!wide.Ok()) return false;
        const HINSTANCE started =
            win32::Sys().ShellExecuteW(nullptr, L"open", wide.Get(), nullptr, nullptr, SW_HIDE);
        // Values up to 32 are error codes.
        return reinterpret_cast<INT_PTR>(started) > 32;
    });
}

}  // namespace wbh::platform::shell
