// GUIDs through COM: CoCreateGuid, and the text through CLSIDFromString and StringFromCLSID,
// converted exactly to and from the program's UTF-8.
#include "platform/guid.h"

#include <objbase.h>
#include <windows.h>

#include <cstring>

#include "platform/win32/com_owners.h"
#include "platform/win32/system_calls.h"

namespace wbh::platform {
namespace {

static_assert(sizeof(Guid) == sizeof(GUID), "Guid mirrors GUID field for field");

GUID ToNative(const Guid& guid) {
    GUID native;
    std::memcpy(&native, &guid, sizeof native);
    return native;
}

}  // namespace

HResult NewGuid(Guid& guid) {
    GUID native;
    const HRESULT result = win32::Sys().CoCreateGuid(&native);
    if (SUCCEEDED(result)) std::memcpy(&guid, &native, sizeof guid);
    return result;
}

bool ParseGuidText(const char* text, Guid& guid) {
    // A GUID text is 38 characters; anything much longer is not one and is not widened.
    wchar_t wide[64] = L"";
    if (text == nullptr || std::strlen(text) >= 64) return false;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 64) == 0) {
        return false;
    }
    CLSID parsed;
    if (win32::Sys().CLSIDFromString(wide, &parsed) != NOERROR) return false;
    std::memcpy(&guid, &parsed, sizeof guid);
    return true;
}

bool FormatGuidText(const Guid& guid, char* text, std::size_t size) {
    if (size > 0) text[0] = '\0';
    win32::CoTaskMemory<OLECHAR> wide;
    if (FAILED(win32::Sys().StringFromCLSID(ToNative(guid), wide.Put())) || wide.Get() == nullptr)
        return false;
    const bool narrowed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.Get(), -1, text,
                                              static_cast<int>(size), nullptr, nullptr) != 0;
    if (!narrowed && size > 0) text[0] = '\0';
    return narrowed;
}

int ProbeSequentialUuid() {
    const HMODULE rpc = GetModuleHandleW(L"RPCRT4.DLL");
    if (rpc == nullptr) return -1;
    return GetProcAddress(rpc, "UuidCreateSequential") != nullptr ? 1 : 0;
}

}  // namespace wbh::platform
