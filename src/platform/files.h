// The files the program writes and the names it probes. Paths come from books and parameters
// files written for Windows, so a backslash in them is a folder separator on every platform.
#pragma once

#include <cstddef>
#include <string_view>

namespace wbh::platform::files {

// The separator that joins a folder and a name: '\\' on Windows, '/' on POSIX.
char Separator();

// Turns every backslash in `path` into the platform's separator (nothing to do on Windows).
void ToNativePath(char* path);

// What is at a path. kUnknown: the platform cannot tell (the folder cannot be searched, the
// name is not a valid one, ...), so nothing should be made there.
enum class Presence { kAbsent, kPresent, kUnknown };
// A file, folder or anything else at `path` is present, also when it cannot be read.
// Fault name "ProbePath": answers kUnknown.
Presence Probe(const char* path);

// Replaces the whole content of the file at `path` with `size` bytes, written as given: first
// into a new file beside it, which is then renamed over it, so that the file is either as it
// was or complete, never half-written. A file at `path` that may not be written (read-only) is
// left as it is, and the folder is never created. Returns true when the new content is in place.
// Fault name "ReplaceFile": fails before anything is written.
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
