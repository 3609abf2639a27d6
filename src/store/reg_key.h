// RegKey: the owner of one open registry key, through which every registry access of the
// program goes. Each operation returns the platform's code, 0 for success; a failed Open or
// Create leaves the holder as it was, and the holder closes its key when destroyed. A key moves
// from holder to holder; it is never copied.
#pragma once

#include <cstdint>

#include "platform/registry.h"
#include "store/store_layout.h"

namespace wbh::store {

using platform::registry::Key;

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    // The moved-from holder is left empty; an assignment closes the key held before.
    RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept;

    // On success closes the key held before (returning that close's code) and holds the new
    // one. `parent` is a root (platform::registry::RootKey) or another holder's Handle().
    long Open(Key parent, const char* path, std::uint32_t access);
    // As Open, making every missing key on the path.
    long Create(Key parent, const char* path, std::uint32_t access);
    // Empties the holder whatever the platform answers; 0 and no call when it holds nothing.
    long Close();

    // A null name is the key's default value. Queries take any stored type, as the ANSI calls
    // gave it (platform/registry.h): a text's bytes as a number in the code page, another type's
    // bytes as text in the code page.
    // Fewer than 4 stored bytes replace only that many low-order bytes of `value`; more fail
    // with kMoreData.
    long QueryDword(std::uint32_t& value, const char* name);
    // The value as text, the way every reader of the program takes one: at most kTextCharacters
    // characters, its stored terminator counted (more fail with kMoreData); a value of another
    // type as its bytes taken as text (registry.h), on Windows at most kTextCharacters of them.
    // `value` is the empty text after any failure, so a caller may take it as it is.
    long QueryText(StoredText& value, const char* name);
    // Whether the key holds a value of that name, of any type, of at most kTextCharacters stored
    // bytes (a text's in UTF-8): a larger one is one that no reader of the program takes, so it
    // counts as absent too. Asks the size alone; false when the key cannot be queried.
    bool HasValue(const char* name);
    long SetDword(std::uint32_t value, const char* name);
    // Stores the text with its terminator; the empty text is one byte.
    long SetString(const char* text, const char* name);
    // Stores the `size` bytes at `data` as a binary value.
    long SetBinary(const std::uint8_t* data, std::uint32_t size, const char* name);
    // kFileNotFound when there is no such value.
    long DeleteValue(const char* name);
    // The number of direct subkeys; `count` is left as it was on failure.
    long CountSubkeys(std::uint32_t& count);

    // Only as the parent of another holder's Open or Create.
    Key Handle() const { return key_; }

private:
    long Adopt(long result, Key opened);
    // Into `buffer` of `size` bytes, at most size - 1 of them, NUL-terminated after success.
    long QueryString(char* buffer, const char* name, std::uint32_t size);

    Key key_ = nullptr;
};

}  // namespace wbh::store
