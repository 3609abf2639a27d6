// The registry through advapi32. A Key is the HKEY itself; the roots are the predefined keys.
#include "platform/registry.h"

#include <windows.h>

#include "platform/portable/fault.h"

namespace wbh::platform::registry {
namespace {

static_assert(kRead == KEY_READ && kAllAccess == KEY_ALL_ACCESS && kSetValue == KEY_SET_VALUE &&
              kQueryValue == KEY_QUERY_VALUE);
static_assert(kTypeString == REG_SZ && kTypeBinary == REG_BINARY && kTypeDword == REG_DWORD);
static_assert(kFileNotFound == ERROR_FILE_NOT_FOUND && kAccessDenied == ERROR_ACCESS_DENIED &&
              kInvalidHandle == ERROR_INVALID_HANDLE && kMoreData == ERROR_MORE_DATA &&
              kBadPathname == ERROR_BAD_PATHNAME && kIoFailed == ERROR_REGISTRY_IO_FAILED &&
              kKeyDeleted == ERROR_KEY_DELETED && kBadDatabase == ERROR_BADDB);

HKEY H(Key key) { return reinterpret_cast<HKEY>(key); }
Key K(HKEY key) { return reinterpret_cast<Key>(key); }

}  // namespace

Key RootKey(Root root) {
    return K(root == Root::kClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER);
}

long OpenKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    if (fault::Fail("RegOpenKeyEx")) return kAccessDenied;
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(H(parent), path, 0, access, &opened);
    if (result == ERROR_SUCCESS) *out = K(opened);
    return result;
}

long CreateKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    if (fault::Fail("RegCreateKeyEx")) return kAccessDenied;
    HKEY created = nullptr;
    DWORD disposition = 0;
    const LONG result = RegCreateKeyExA(H(parent), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &created, &disposition);
    if (result == ERROR_SUCCESS) *out = K(created);
    return result;
}

long QueryValue(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) {
    if (fault::Fail("RegQueryValueEx")) return kAccessDenied;
    DWORD stored_type = 0;
    DWORD stored_size = *size;
    const LONG result = RegQueryValueExA(H(key), name, nullptr, &stored_type, data, &stored_size);
    if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        *type = stored_type;
        *size = stored_size;
    }
    return result;
}

long SetValue(Key key, const char* name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) {
    if (fault::Fail("RegSetValueEx")) return kAccessDenied;
    return RegSetValueExA(H(key), name, 0, type, data, size);
}

long DeleteValue(Key key, const char* name) {
    if (fault::Fail("RegDeleteValue")) return kAccessDenied;
    return RegDeleteValueA(H(key), name);
}

long CountSubkeys(Key key, std::uint32_t* count) {
    if (fault::Fail("RegQueryInfoKey")) return kAccessDenied;
    DWORD subkeys = 0;
    const LONG result = RegQueryInfoKeyA(H(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) *count = subkeys;
    return result;
}

long CloseKey(Key key) {
    const bool fail = fault::Fail("RegCloseKey");
    const LONG result = RegCloseKey(H(key));  // released even when told to fail: nothing leaks
    return fail ? kIoFailed : result;
}

}  // namespace wbh::platform::registry
