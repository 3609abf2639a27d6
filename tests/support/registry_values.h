// Reading and writing registry values straight through the platform's calls, for tests that
// set up a stored state or check what the program stored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace wbh::test {

namespace reg = platform::registry;

struct StoredValue {
    std::uint32_t type;
    std::string bytes;
};

inline StoredValue TextValue(const std::string& text) {
    return {reg::kTypeString, text + std::string(1, '\0')};
}
inline StoredValue DwordValue(std::uint32_t n) {
    return {reg::kTypeDword, std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)}};
}

// The value, or nothing when it or its key is absent. A null name is the default value.
inline std::optional<StoredValue> Stored(reg::Root root, const std::string& key, const char* name) {
    reg::Key opened = nullptr;
    if (reg::OpenKey(reg::RootKey(root), key.c_str(), reg::kRead, &opened) != 0) return {};
    std::uint32_t type = 0, size = 4096;
    std::string bytes(size, '\0');
    const long result =
        reg::QueryValue(opened, name, &type, reinterpret_cast<std::uint8_t*>(&bytes[0]), &size);
    reg::CloseKey(opened);
    if (result != 0) return {};
    bytes.resize(size);
    return StoredValue{type, bytes};
}

// Makes the key and stores the value; false when the registry refused.
inline bool Store(reg::Root root, const std::string& key, const char* name,
                  const StoredValue& value) {
    reg::Key made = nullptr;
    if (reg::CreateKey(reg::RootKey(root), key.c_str(), reg::kAllAccess, &made) != 0) return false;
    const long result = reg::SetValue(made, name, value.type,
                                      reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                                      static_cast<std::uint32_t>(value.bytes.size()));
    reg::CloseKey(made);
    return result == 0;
}

// Opens the key, or with `make` makes it (and those above it) without values.
inline bool KeyExists(reg::Root root, const std::string& key, bool make = false) {
    reg::Key opened = nullptr;
    const long result =
        make ? reg::CreateKey(reg::RootKey(root), key.c_str(), reg::kAllAccess, &opened)
             : reg::OpenKey(reg::RootKey(root), key.c_str(), reg::kRead, &opened);
    if (result == 0) reg::CloseKey(opened);
    return result == 0;
}
inline bool MakeKey(reg::Root root, const std::string& key) { return KeyExists(root, key, true); }

}  // namespace wbh::test
