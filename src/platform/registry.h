// The registry, with the contract of the Win32 ANSI calls (RegOpenKeyExA, RegCreateKeyExA,
// RegQueryValueExA, RegSetValueExA, RegDeleteValueA, RegQueryInfoKeyA, RegCloseKey) as far as
// the program uses them, for its UTF-8: key paths, value names and the bytes of text values are
// UTF-8, and sizes of texts count UTF-8 bytes. Windows calls the wide calls and converts exactly
// (a text that does not convert fails with kNoUnicodeTranslation); POSIX keeps the current
// user's keys in one SQLite database per user (docs/registry.md), texts as given. Every call
// returns a Windows error code, 0 for success; a failed call changes none of its outputs
// unless said otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wbh::platform::registry {

// One open key. Opaque; null is no key.
struct KeyObject;
using Key = KeyObject*;

// The program's records are the current user's. (File types are the shell's: see
// shell::RegisterFileType.)
enum class Root { kCurrentUser };
// The predefined root key; always open, closing it does nothing.
Key RootKey(Root root);

// Result codes (the Windows values).
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;   // no such key or value
constexpr long kAccessDenied = 5;   // the handle lacks the access, or the store is read-only
constexpr long kInvalidHandle = 6;  // null or closed key
constexpr long kOutOfMemory = 14;
constexpr long kInvalidParameter = 87;        // a name over its length limit
constexpr long kBadPathname = 161;            // a key path that starts with a backslash
constexpr long kMoreData = 234;               // the value is larger than the caller's buffer
constexpr long kBadDatabase = 1009;           // the store is not a registry this program can read
constexpr long kIoFailed = 1016;              // the store could not be read or written
constexpr long kNoUnicodeTranslation = 1113;  // a name or text that does not convert exactly

// Value types.
constexpr std::uint32_t kTypeString = 1;  // REG_SZ
constexpr std::uint32_t kTypeBinary = 3;  // REG_BINARY
constexpr std::uint32_t kTypeDword = 4;   // REG_DWORD, little-endian

// Access masks.
constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kRead = 0x20019;
constexpr std::uint32_t kAllAccess = 0xF003F;

// The limits of a key path, in UTF-16 units: the ANSI calls converted a path through a buffer
// of MAX_PATH units, and a key's name has at most 256.
constexpr std::size_t kMaxKeyPathLength = 260;
constexpr std::size_t kMaxKeyNameLength = 256;
// What OpenKey and CreateKey answer for `path` by its form alone, before any key is looked at:
// kMoreData for a path over kMaxKeyPathLength, then kBadPathname for one that starts with a
// backslash, then kInvalidParameter for a name in it over kMaxKeyNameLength; kSuccess for a
// path that can name a key (null and empty ones too). Windows also refuses a name that does not
// convert.
long CheckKeyPath(const char* path);

// Opens the key at `path` below `parent`: key names joined by backslashes (empty names are
// skipped), compared case-insensitively; an empty or null path opens the parent itself again
// (for a root, the root itself). A path that CheckKeyPath refuses fails with its code; a book's
// id is such a path, so these limits are the reader's too. On success *out is a handle to close
// with CloseKey.
long OpenKey(Key parent, const char* path, std::uint32_t access, Key* out);
// As OpenKey, making every missing key on the path first, with the names as written.
long CreateKey(Key parent, const char* path, std::uint32_t access, Key* out);
// Reads value `name` (null or empty: the key's default value) into data, which has *size bytes;
// type and size must not be null. Reports the stored size in *size and its type in *type, also
// with kMoreData. The bytes come as stored (Windows may end a text stored without its NUL with
// one after them, not counted in the size). A value larger than *size bytes fails with kMoreData
// and leaves data as it was. data may be null to ask for the size alone. Needs kQueryValue.
// On entry *type says how the caller takes the value, as callers of the ANSI call took the bytes
// it gave: kTypeString as text, kTypeDword as a number, anything else as stored. Windows keeps
// texts in UTF-16 and gives the ANSI call any other type's bytes unchanged, so there a value of
// another type taken as text is text in the ANSI code page, given as UTF-8, and has at most
// *size / 3 stored bytes (else kMoreData), as many as its UTF-8 is sure to fit; and a text taken
// as a number comes in the code page's bytes. POSIX stores texts as given, in the UTF-8 that is
// its code page, so there the three are the same.
long QueryValue(Key key, const char* name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size);
// Stores `size` bytes of `type` as value `name`, replacing any value of that name whatever its
// earlier type; a new name is stored as written. Needs kSetValue.
long SetValue(Key key, const char* name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size);
// Removes value `name`; kFileNotFound when there is none. Needs kSetValue.
long DeleteValue(Key key, const char* name);
// The number of direct sub-keys. Documented to need kQueryValue (Wine does not ask).
long CountSubkeys(Key key, std::uint32_t* count);
// Releases the handle, whatever the result.
long CloseKey(Key key);

}  // namespace wbh::platform::registry
