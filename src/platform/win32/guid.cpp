// GUIDs through COM: CoCreateGuid, and the text through CLSIDFromString and StringFromCLSID,
// converted exactly to and from the program's UTF-8.
#include "platform/guid.h"

#include <objbase.h>
#include <windows.h>

#include <cstring>

#include "platform/portable/fault.h"
#include "platform/win32/com_owners.h"

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
    if (fault::Fail(fault::Call::kCoCreateGuid)) return E_FAIL;
    if (fault::TakePlantedGuid(guid)) return S_OK;
    GUID native;
    const HRESULT result = CoCreateGuid(&native);
    if (SUCCEEDED(result)) std::memcpy(&guid, &native, sizeof guid);
    return result;
}

bool ParseGuidText(const char* text, Guid& guid) {
    // A GUID text is 38 characters; anything much longer is not one and is not widened.
    wchar_t wide[64] = L"";
    if (text == nullptr || std::strlen(text) >= 64) return false;
    if (fault::Fail(fault::Call::kMultiByteToWideChar) ||
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 64) == 0) {
        return false;
    }
    if (fault::Fail(fault::Call::kCLSIDFromString)) return false;
    CLSID parsed;
    if (CLSIDFromString(wide, &parsed) != NOERROR) return false;
    std::memcpy(&guid, &parsed, sizeof guid);
    return true;
}

bool FormatGuidText(const Guid& guid, char* text, std::size_t size) {
    if (size > 0) text[0] = '\0';
    if (fault::Fail(fault::Call::kStringFromCLSID)) return false;
    win32::CoTaskMemory<OLECHAR> wide;
    if (FAILED(StringFromCLSID(ToNative(guid), wide.Put())) || wide.Get() == nullptr) return false;
    const bool narrowed = !fault::Fail(fault::Call::kWideCharToMultiByte) &&
                          WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.Get(), -1, text,
                                              static_cast<int>(size), nullptr, nullptr) != 0;
    if (!narrowed && size > 0) text[0] = '\0';
    return narrowed;
}

int ProbeSequentialUuid() {
    if (fault::Fail(fault::Call::kGetModuleHandle)) return -1;
    const HMODULE rpc = GetModuleHandleW(L"RPCRT4.DLL");
    if (rpc == nullptr) return -1;
    if (fault::Fail(fault::Call::kGetProcAddress)) return 0;
    return GetProcAddress(rpc, "UuidCreateSequential") != nullptr ? 1 : 0;
}

}  // namespace wbh::platform
