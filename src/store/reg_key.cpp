// RegKey over the registry seam.
#include "store/reg_key.h"

#include <cstring>
#include <string_view>

#include "common/utf8.h"
#include "store/store_layout.h"

namespace wbh::store {

namespace reg = platform::registry;

long RegKey::Adopt(long result, Key opened) {
    if (result != reg::kSuccess) return result;
    const long closed = Close();
    key_ = opened;
    return closed;
}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

long RegKey::Open(Key parent, const char* path, std::uint32_t access) {
    Key opened = nullptr;
    const long result = reg::OpenKey(parent, path, access, &opened);
    return Adopt(result, opened);
}

long RegKey::Create(Key parent, const char* path, std::uint32_t access) {
    Key created = nullptr;
    const long result = reg::CreateKey(parent, path, access, &created);
    return Adopt(result, created);
}

long RegKey::Close() {
    if (key_ == nullptr) return reg::kSuccess;
    const Key held = key_;
    key_ = nullptr;
    return reg::CloseKey(held);
}

long RegKey::QueryDword(std::uint32_t& value, const char* name) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    // The value's little-endian image, so a short stored value lands in the low-order bytes on
    // any host.
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    std::uint32_t type = reg::kTypeDword;
    std::uint32_t size = sizeof bytes;
    const long result = reg::QueryValue(key_, name, &type, bytes, &size);
    if (result != reg::kSuccess) return result;
    value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return result;
}

long RegKey::QueryString(char* buffer, const char* name, std::uint32_t size) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    std::uint32_t type = reg::kTypeString;
    size -= 1;  // the last byte is kept for the terminator
    const long result =
        reg::QueryValue(key_, name, &type, reinterpret_cast<std::uint8_t*>(buffer), &size);
    if (result != reg::kSuccess) return result;
    // A stored terminator is one of the characters, as the ANSI calls counted it.
    if (utf8::Utf16Length(std::string_view(buffer, size)) > kTextCharacters) return reg::kMoreData;
    buffer[size] = '\0';
    return result;
}

long RegKey::QueryText(StoredText& value, const char* name) {
    char text[kTextBufferSize + 1];
    long result = QueryString(text, name, sizeof text);
    if (result == reg::kSuccess && !value.Assign(text)) result = reg::kMoreData;
    if (result != reg::kSuccess) value.Clear();
    return result;
}

bool RegKey::HasValue(const char* name) {
    if (key_ == nullptr) return false;
    std::uint32_t type = reg::kTypeBinary;  // taken as stored
    std::uint32_t size = 0;
    return reg::QueryValue(key_, name, &type, nullptr, &size) == reg::kSuccess &&
           size <= kTextCharacters;
}

long RegKey::SetDword(std::uint32_t value, const char* name) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return reg::SetValue(key_, name, reg::kTypeDword, bytes, sizeof bytes);
}

long RegKey::SetString(const char* text, const char* name) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    const std::size_t length = std::strlen(text);
    if (length >= 0xFFFFFFFFu) return reg::kInvalidParameter;
    return reg::SetValue(key_, name, reg::kTypeString, reinterpret_cast<const std::uint8_t*>(text),
                         static_cast<std::uint32_t>(length + 1));
}

long RegKey::SetBinary(const std::uint8_t* data, std::uint32_t size, const char* name) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    return reg::SetValue(key_, name, reg::kTypeBinary, data, size);
}

long RegKey::DeleteValue(const char* name) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    return reg::DeleteValue(key_, name);
}

long RegKey::CountSubkeys(std::uint32_t& count) {
    if (key_ == nullptr) return reg::kInvalidHandle;
    return reg::CountSubkeys(key_, &count);
}

}  // namespace wbh::store
