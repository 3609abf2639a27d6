// INI files, with the contract of the Win32 profile calls (GetPrivateProfileStringA and
// WritePrivateProfileStringA), which the Windows build calls directly and the POSIX build
// implements itself. A backslash in the file name is a folder separator, as for every path.
#pragma once

#include <cstdint>

namespace wbh::platform {

// section == nullptr: the buffer receives every section name, each followed by a NUL, and one
//   more NUL after the last. key == nullptr: likewise the key names of that section.
//   When the list does not fit, it is cut, ends with two NULs and the result is size - 2.
// Both given: the value of the key (quotes around it removed, blanks around it trimmed), or
//   `fallback` when the key is not in the section; cut to size - 1 characters when too long.
// Returns the number of characters placed in the buffer, not counting the final NUL.
// A missing or unreadable file gives an empty section list, and `fallback` for keys and values.
// A name or value that does not convert exactly to UTF-8 (an unpaired surrogate in a UTF-16
// file) is refused alone: a name is left out of its list, and a value gives kIniRefused with
// the empty text in the buffer, which no found value and no fallback can be mistaken for.
// When memory runs out, the read itself fails: kIniFailed, with the empty text in the buffer, so
// that no caller takes a file it could not read for one without the entry it asked for.
inline constexpr std::uint32_t kIniRefused = 0xFFFFFFFF;
inline constexpr std::uint32_t kIniFailed = 0xFFFFFFFE;
std::uint32_t IniReadString(const char* section, const char* key, const char* fallback,
                            char* buffer, std::uint32_t size, const char* file);

// Sets key=value in the section, creating the file or section when missing; other sections and
// keys stay as they are, an existing key is replaced, names match case-insensitively.
// Returns false when the file could not be written (a read-only one is not); the file is then
// as it was.
bool IniWriteString(const char* section, const char* key, const char* value, const char* file);

}  // namespace wbh::platform
