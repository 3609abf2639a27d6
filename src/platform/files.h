// The files the program writes and the names it probes. Paths come from books and parameters
// files written for Windows, so a backslash in them is a folder separator on every platform:
// every call here, and every other platform call that takes a path, reads it so.
#pragma once

#include <cstddef>
#include <string_view>

namespace wbh::platform::files {

// The separator that joins a folder and a name: '\\' on Windows, '/' on POSIX.
char Separator();

// The one rule for names that come from outside (a book's package, the reader's typing): what
// this platform's file systems make of `path` as the name of a file of its own.
//   kFile: it can be one (Windows drops trailing dots and blanks from the name it makes);
//   kTooLong: it is over the path limit (Windows: MAX_PATH, 259 UTF-16 units and the NUL) or
//     its last name over kNameLimit: a shorter name may be one;
//   kNever: no name like it is a file of its own: empty, ending in a separator, ".", "..", a
//     control character; on Windows also a character the file system refuses (<>:"|?*) and a
//     device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, in any case, with
//     trailing blanks) before the first dot, which the system opens as the device whatever
//     follows ("nul.txt", "nul.txt (0).lnk"). A name numbered at its end stays so.
// Every writer asks it before making a file; the temporaries are named within it.
enum class NameRule { kFile, kTooLong, kNever };
NameRule CheckName(const char* path);

// The longest name (one name, without its folder) that the file systems take: 255 UTF-16 units
// on Windows, 255 bytes on POSIX; the other count is unbounded.
struct NameLimit {
    std::size_t units;
    std::size_t bytes;
};
extern const NameLimit kNameLimit;

// What is at a path. kUnknown: the platform cannot tell (the folder cannot be searched, the
// name is not a valid one, ...), so nothing should be made there.
enum class Presence { kAbsent, kPresent, kUnknown };
// A file, folder or anything else at `path` is present, also when it cannot be read.
Presence Probe(const char* path);

// Replaces the whole content of the file at `path` with `size` bytes, written as given: first
// into a new file beside it, which is then renamed over it, so that the file is either as it
// was or complete, never half-written. A file at `path` that may not be written (read-only) is
// left as it is, and the folder is never created. Returns true when the new content is in place.
bool ReplaceFileContents(const char* path, const void* data, std::size_t size);

// Text files that other programs read in the encoding of the platform's text files: Windows'
// ANSI code page (a book's scripts were always written in it), UTF-8 on POSIX.
// Whether `character` (a Unicode code point) has an exact form in that encoding: never a
// look-alike (Windows' "best fit" would write a fullwidth letter as its ASCII twin).
bool TextFileHolds(char32_t character);
// ReplaceFileContents with the UTF-8 `text` in that encoding. Fails, with nothing written, when
// a character has no exact form there (on POSIX the bytes go as they are).
bool ReplaceTextFile(const char* path, std::string_view text);

}  // namespace wbh::platform::files
