// Parsing INI text the way kernel32 reads it, for the POSIX INI calls. The parameters file
// reader asks for every key of a file in turn, so the last file parsed is kept (while its
// identity and contents are unchanged) with an index of its names: K keys cost O(file), not
// K times the file.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {

// One line of an INI file, classified.
struct IniLine {
    enum class Kind { Blank, Section, Key, Other } kind = Kind::Blank;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
    bool has_value = false;  // the line holds an "="
};

// kernel32's blanks: the option grammar's white space and the DOS end-of-file character.
bool IsIniSpace(char c);
IniLine ClassifyIniLine(std::string_view line);

struct IniKey {
    std::string_view name;
    std::string_view value;
    bool has_value;
};

struct IniSection {
    std::string_view name;
    std::vector<IniKey> keys;
    std::unordered_map<std::string, std::size_t> first_key;  // lower-case name -> index

    // The first key of that name, compared case-insensitively, or null.
    const IniKey* Find(std::string_view key) const;
};

struct IniFile {
    std::string text;  // the names and values point into it, the byte-order mark left out
    // Decoded from UTF-16: a name or value that is not UTF-8 holds a surrogate without its pair,
    // which no caller can be given.
    bool from_utf16 = false;
    // Keys before the first header belong to a first section with the empty name, which is
    // never listed but can be asked for by that name.
    std::vector<IniSection> sections;
    std::unordered_map<std::string, std::size_t> first_section;

    const IniSection* Find(std::string_view section) const;
};

// The file's bytes, in any of the encodings kernel32 reads. May throw std::bad_alloc.
std::unique_ptr<IniFile> ParseIni(std::string bytes);

// Opens a regular file for reading without blocking (a FIFO or a device at the name would
// otherwise wait or never end): the descriptor, or none with errno set (EINVAL: not a regular
// file). `st` receives the file's status.
UniqueFd OpenRegularFile(const char* path, struct stat& st);

// Reads from the descriptor to its end; false on a read error, or when memory runs out (errno
// then ENOMEM).
bool ReadToEnd(int fd, std::string& text);

// Writes all `size` bytes, going on after partial writes and interruptions; false (errno set)
// on a write error.
bool WriteAll(int fd, const void* data, std::size_t size);

// The parsed file, or null when it does not exist or cannot be read (which the INI calls treat
// alike). The result stays valid until the next call. Throws std::bad_alloc when memory runs
// out: a file this process could not hold is not a missing one.
const IniFile* LoadIni(const char* file);

}  // namespace wbh::platform::posix
