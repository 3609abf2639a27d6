// The Windows shell through its wide calls: the desktop folder through its item list, shortcuts
// through the shell link object (IShellLinkW and its IPersistFile, both held by one object until
// it goes away), and ShellExecuteW for opening a file with its associated application. Every
// path is converted exactly, so the shell never sees a look-alike of a name. shell32 is loaded
// only when a run needs it.
#include "platform/shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "common/no_throw.h"
#include "platform/portable/fault.h"
#include "platform/win32/com_owners.h"
#include "platform/win32/system_library.h"
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

class Win32ShellLink final : public ShellLink {
public:
    Win32ShellLink(win32::ComPtr<IShellLinkW>&& link, win32::ComPtr<IPersistFile>&& persist)
        : link_(std::move(link)), persist_(std::move(persist)) {}

    // A text that does not convert is not set, as a failed call would leave it.
    void SetPath(const char* target) override {
        NoThrow(0, [&] {
            const win32::WideArgument wide(target);
            if (wide.Ok() && wide.Get() != nullptr) link_->SetPath(wide.Get());
            return 0;
        });
    }
    void SetIconLocation(const char* icon, int index) override {
        NoThrow(0, [&] {
            const win32::WideArgument wide(icon);
            if (wide.Ok() && wide.Get() != nullptr) link_->SetIconLocation(wide.Get(), index);
            return 0;
        });
    }
    HResult Save(const char* path) override {
        // A path beyond the path limit could not be created anyway: it is refused.
        return NoThrow(static_cast<HResult>(E_OUTOFMEMORY), [&]() -> HResult {
            const win32::WidePath wide(path);
            if (!wide.Ok()) return kFailed;
            return persist_->Save(wide.Get(), TRUE);
        });
    }

private:
    win32::ComPtr<IShellLinkW> link_;
    win32::ComPtr<IPersistFile> persist_;
};

}  // namespace

HResult DesktopDirectory(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return kFailed;
    buffer[0] = '\0';
    if (fault::Fail(fault::Call::kDesktopDirectory)) return kFailed;
    static const auto locate = win32::SystemProc<decltype(SHGetSpecialFolderLocation)>(
        L"shell32.dll", "SHGetSpecialFolderLocation");
    static const auto to_path =
        win32::SystemProc<decltype(SHGetPathFromIDListW)>(L"shell32.dll", "SHGetPathFromIDListW");
    if (locate == nullptr || to_path == nullptr) return kFailed;
    win32::ItemList list;
    const HRESULT located = locate(nullptr, CSIDL_DESKTOPDIRECTORY, list.Put());
    if (FAILED(located)) return located;
    if (list.Get() == nullptr) return kFailed;
    wchar_t path[MAX_PATH] = L"";
    if (to_path(list.Get(), path) == FALSE) return kFailed;
    std::string text;
    if (!NoThrow(false, [&] { return win32::ToUtf8(path, text); })) return kFailed;
    if (text.size() >= static_cast<std::size_t>(size)) return kFailed;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return S_OK;
}

std::unique_ptr<ShellLink> CreateShellLink(HResult* result) {
    HResult unused;
    if (result == nullptr) result = &unused;
    if (fault::Fail(fault::Call::kCoCreateInstance)) {
        *result = REGDB_E_CLASSNOTREG;
        return nullptr;
    }
    win32::ComPtr<IShellLinkW> link;
    const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, reinterpret_cast<void**>(link.Put()));
    if (FAILED(created) || link.Get() == nullptr) {
        *result = AsFailure(created);
        return nullptr;
    }
    win32::ComPtr<IPersistFile> persist;
    const HRESULT queried =
        fault::Fail(fault::Call::kQueryInterface)
            ? E_NOINTERFACE
            : link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Put()));
    if (FAILED(queried) || persist.Get() == nullptr) {
        *result = AsFailure(queried);
        return nullptr;
    }
    std::unique_ptr<ShellLink> shortcut(new (std::nothrow)
                                            Win32ShellLink(std::move(link), std::move(persist)));
    if (shortcut == nullptr) {
        *result = E_OUTOFMEMORY;
        return nullptr;
    }
    *result = S_OK;
    return shortcut;
}

bool OpenWithShell(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    if (fault::Fail(fault::Call::kShellExecute)) return false;
    static const auto execute =
        win32::SystemProc<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute == nullptr) return false;
    return NoThrow(false, [&] {
        const win32::WidePath wide(path);
        if (!wide.Ok()) return false;
        const HINSTANCE started = execute(nullptr, L"open", wide.Get(), nullptr, nullptr, SW_HIDE);
        // Values up to 32 are error codes.
        return reinterpret_cast<INT_PTR>(started) > 32;
    });
}

// Explorer reads file types from HKEY_CLASSES_ROOT, which the caller writes.
const bool kFileTypesInRegistry = true;
FileTypeRegistration RegisterFileType() { return FileTypeRegistration::kKeptInRegistry; }

void NotifyAssociationsChanged() {
    if (fault::Fail(fault::Call::kSHChangeNotify)) return;
    static const auto notify =
        win32::SystemProc<decltype(SHChangeNotify)>(L"shell32.dll", "SHChangeNotify");
    if (notify != nullptr) notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace wbh::platform::shell
