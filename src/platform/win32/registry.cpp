// The registry through advapi32's wide calls. A Key is the HKEY itself; the roots are the
// predefined keys. Names and texts are converted exactly; texts are stored as UTF-16, as
// Windows stores them whichever call wrote them, so values written by the ANSI calls read the
// same, and so do values of other types read as text or texts read as numbers, in the ANSI code
// page's bytes that the ANSI calls gave.
#include "platform/registry.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "common/no_throw.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform::registry {
namespace {

static_assert(kRead == KEY_READ && kAllAccess == KEY_ALL_ACCESS && kSetValue == KEY_SET_VALUE &&
              kQueryValue == KEY_QUERY_VALUE);
static_assert(kTypeString == REG_SZ && kTypeBinary == REG_BINARY && kTypeDword == REG_DWORD);
static_assert(kFileNotFound == ERROR_FILE_NOT_FOUND && kAccessDenied == ERROR_ACCESS_DENIED &&
              kInvalidHandle == ERROR_INVALID_HANDLE && kMoreData == ERROR_MORE_DATA &&
              kBadPathname == ERROR_BAD_PATHNAME && kIoFailed == ERROR_REGISTRY_IO_FAILED &&
              kBadDatabase == ERROR_BADDB &&
              kNoUnicodeTranslation == ERROR_NO_UNICODE_TRANSLATION &&
              kOutOfMemory == ERROR_OUTOFMEMORY);

using win32::WideArgument;

HKEY H(Key key) { return reinterpret_cast<HKEY>(key); }
Key K(HKEY key) { return reinterpret_cast<Key>(key); }

static_assert(kMaxKeyPathLength == MAX_PATH);

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The code for a name or path that is not UTF-8 (0 when it converted).
long Convert(const WideArgument& name) { return name.Ok() ? 0 : kNoUnicodeTranslation; }

// A value in the form the caller takes it (registry.h): a text as UTF-8, or in the code page's
// bytes when taken as a number; another type's bytes taken as text as the code page's text they
// were to the ANSI call.
long ConvertValue(DWORD type, const win32::WideText& stored, DWORD stored_bytes,
                  std::uint32_t taken_as, std::string& value) {
    if (IsText(type)) {
        // An odd last byte is no unit; the ANSI call leaves it out too.
        const std::wstring_view units(stored.data(), stored_bytes / 2);
        const bool converted = taken_as == kTypeDword ? win32::ToCodePage(units, value)
                                                      : win32::ToUtf8(units, value);
        return converted ? kSuccess : kNoUnicodeTranslation;
    }
    win32::WideText wide;
    return win32::FromCodePage(
               std::string_view(reinterpret_cast<const char*>(stored.data()), stored_bytes), wide) &&
                   win32::ToUtf8(std::wstring_view(wide.data(), wide.size() - 1), value)
               ? kSuccess
               : kNoUnicodeTranslation;
}

long Query(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
           std::uint32_t* size) {
    const std::uint32_t taken_as = *type;
    const WideArgument wide_name(name);
    if (!wide_name.Ok()) return kNoUnicodeTranslation;
    DWORD stored_type = 0;
    DWORD stored_size = 0;
    LONG result = win32::Sys().RegQueryValueExW(H(key), wide_name.Get(), nullptr, &stored_type,
                                                nullptr, &stored_size);
    if (result != ERROR_SUCCESS) return result;
    const bool text = IsText(stored_type);
    if (!text && taken_as != kTypeString) {
        // Bytes the caller takes as they are: straight into its buffer.
        stored_size = *size;
        result = win32::Sys().RegQueryValueExW(H(key), wide_name.Get(), nullptr, &stored_type, data,
                                               &stored_size);
        if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
            *type = stored_type;
            *size = stored_size;
        }
        return result;
    }
    win32::WideText stored(stored_size / 2 + 1);
    stored_size = static_cast<DWORD>(stored.size() * 2);
    result = win32::Sys().RegQueryValueExW(H(key), wide_name.Get(), nullptr, &stored_type,
                                           reinterpret_cast<BYTE*>(stored.data()), &stored_size);
    // Changed meanwhile into something larger or of the other kind: as if asked a moment later.
    if (result == ERROR_SUCCESS && IsText(stored_type) != text) result = ERROR_MORE_DATA;
    if (result != ERROR_SUCCESS) return result;
    std::string value;
    if (const long refused = ConvertValue(stored_type, stored, stored_size, taken_as, value)) {
        return refused;
    }
    if (value.size() > 0xFFFFFFFEu) return kMoreData;
    const std::uint32_t room = *size;
    *type = stored_type;
    *size = static_cast<std::uint32_t>(value.size());
    if (data == nullptr) return kSuccess;
    // Data counted in stored bytes, as the ANSI call counted them, whatever they convert to.
    if (value.size() > room || (!text && stored_size > room / 3)) return kMoreData;
    std::memcpy(data, value.data(), value.size());
    if (text && taken_as != kTypeDword && !value.empty() && value.back() != '\0' &&
        value.size() < room) {
        data[value.size()] = '\0';
    }
    return kSuccess;
}

}  // namespace

Key RootKey(Root) { return K(HKEY_CURRENT_USER); }

long OpenKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    return NoThrow(kOutOfMemory, [&]() -> long {
        const WideArgument wide_path(path);
        if (const long refused = Convert(wide_path)) return refused;
        if (const long refused = CheckKeyPath(path)) return refused;
        HKEY opened = nullptr;
        const LONG result =
            win32::Sys().RegOpenKeyExW(H(parent), wide_path.Get(), 0, access, &opened);
        if (result == ERROR_SUCCESS) *out = K(opened);
        return result;
    });
}

long CreateKey(Key parent, const char* path, std::uint32_t access, Key* out) {
    return NoThrow(kOutOfMemory, [&]() -> long {
        const WideArgument wide_path(path);
        if (const long refused = Convert(wide_path)) return refused;
        if (const long refused = CheckKeyPath(path)) return refused;
        HKEY created = nullptr;
        DWORD disposition = 0;
        const LONG result = win32::Sys().RegCreateKeyExW(H(parent), wide_path.Get(), 0, nullptr,
                                                         REG_OPTION_NON_VOLATILE, access, nullptr,
                                                         &created, &disposition);
        if (result == ERROR_SUCCESS) *out = K(created);
        return result;
    });
}

long QueryValue(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) {
    return NoThrow(kOutOfMemory, [&] { return Query(key, name, type, data, size); });
}

long SetValue(Key key, const char* name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) {
    return NoThrow(kOutOfMemory, [&]() -> long {
        const WideArgument wide_name(name);
        if (const long refused = Convert(wide_name)) return refused;
        if (!IsText(type) || data == nullptr) {
            return win32::Sys().RegSetValueExW(H(key), wide_name.Get(), 0, type, data, size);
        }
        // The text's bytes, its NULs included, as UTF-16 units: the size the ANSI call gave.
        win32::WideText text;
        if (!win32::ToWide(std::string_view(reinterpret_cast<const char*>(data), size), text)) {
            return kNoUnicodeTranslation;
        }
        return win32::Sys().RegSetValueExW(H(key), wide_name.Get(), 0, type,
                                           reinterpret_cast<const BYTE*>(text.data()),
                                           static_cast<DWORD>((text.size() - 1) * sizeof(wchar_t)));
    });
}

long DeleteValue(Key key, const char* name) {
    return NoThrow(kOutOfMemory, [&]() -> long {
        const WideArgument wide_name(name);
        if (const long refused = Convert(wide_name)) return refused;
        return win32::Sys().RegDeleteValueW(H(key), wide_name.Get());
    });
}

long CountSubkeys(Key key, std::uint32_t* count) {
    DWORD subkeys = 0;
    const LONG result =
        win32::Sys().RegQueryInfoKeyW(H(key), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) *count = subkeys;
    return result;
}

long CloseKey(Key key) { return win32::Sys().RegCloseKey(H(key)); }

}  // namespace wbh::platform::registry
