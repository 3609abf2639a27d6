// INI files for the POSIX build, keeping the contract of the Win32 profile calls as kernel32
// implements them (the shared test table runs against both): sections and keys match
// case-insensitively and the first match wins; a line without "=" is no key; lines starting
// with ";" are found but never listed; a value loses the blanks around it and one pair of
// matching quotes. A file after a byte-order mark is UTF-8 or UTF-16 (either order), and writes
// keep it so, mark included. In a file without one, a value that is not UTF-8 was written on
// Windows in its ANSI code page and is read as Windows-1252 (a French Windows'), so the caller
// always gets UTF-8, as Windows gives its code page's text; names are compared as bytes and
// given as they are. From UTF-16, only what does not convert (a surrogate without its pair) is
// refused, as the Windows build refuses it: such a name is not listed, such a value gives
// kIniRefused. Nothing that is not UTF-8 is written into a file with a mark.
// Writes replace the file through the routine every writer shares, so a crash never leaves half
// of it. Running out of memory fails a call (a read with kIniFailed): nothing is thrown.
#include "platform/ini.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/posix/native_path.h"
#include "platform/posix/text_files/ini_encoding.h"
#include "platform/posix/text_files/ini_file.h"
#include "platform/posix/text_files/replace_file.h"
#include "platform/posix/text_files/windows_1252.h"

namespace wbh::platform {
namespace {

using posix::IniFile;
using posix::IniKey;
using posix::IniLine;
using posix::IniSection;

// Copies at most size - 1 characters and the NUL; returns the characters copied.
std::uint32_t CopyCut(std::string_view text, char* buffer, std::uint32_t size) {
    if (size == 0) return 0;
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

// A list of names, each followed by a NUL, and one more NUL; cut as kernel32 cuts it: a name
// that does not fit with room to spare is shortened to the room left, and the result is
// size - 2 (also when the last name fitted exactly, so the caller tries a larger buffer).
std::uint32_t CopyList(const std::vector<std::string_view>& names, char* buffer,
                       std::uint32_t size) {
    if (size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t room = size - 1;  // the closing NUL always has its byte; room stays >= 1
    char* out = buffer;
    for (std::string_view name : names) {
        if (name.size() + 1 >= room) {
            std::memcpy(out, name.data(), room - 1);
            out += room - 1;
            *out++ = '\0';
            *out = '\0';
            return size - 2;
        }
        std::memcpy(out, name.data(), name.size());
        out += name.size();
        *out++ = '\0';
        room -= name.size() + 1;
    }
    *out = '\0';
    return static_cast<std::uint32_t>(out - buffer);
}

// A value in matching quotes loses them. kernel32 cuts the text with its closing quote first
// and drops that last character only when nothing was cut, so a quoted value of n characters
// comes back as n - 1 characters in a buffer of n + 1 bytes; this keeps that result.
std::uint32_t CopyValue(std::string_view value, char* buffer, std::uint32_t size) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (!quoted) return CopyCut(value, buffer, size);
    value.remove_prefix(1);  // the closing quote is still there
    std::uint32_t n = CopyCut(value, buffer, size);
    if (size >= value.size() && n > 0) buffer[--n] = '\0';
    return n;
}

// The answer from a file that could be read and parsed.
std::uint32_t ReadParsed(const IniFile& ini, const char* section, const char* key,
                         std::string_view fallback, char* buffer, std::uint32_t size) {
    const auto converts = [&ini](std::string_view text) {
        return !ini.from_utf16 || posix::IsUtf8(text);
    };
    if (section == nullptr) {
        std::vector<std::string_view> names;
        for (const IniSection& s : ini.sections) {
            if (!s.name.empty() && converts(s.name)) names.push_back(s.name);
        }
        return CopyList(names, buffer, size);
    }

    const IniSection* found = converts(section) ? ini.Find(section) : nullptr;
    if (found == nullptr || found->keys.empty()) return CopyCut(fallback, buffer, size);

    if (key == nullptr) {
        std::vector<std::string_view> names;
        for (const IniKey& k : found->keys) {
            if (k.has_value && (k.name.empty() || k.name.front() != ';') && converts(k.name)) {
                names.push_back(k.name);
            }
        }
        return CopyList(names, buffer, size);
    }

    const IniKey* entry = converts(key) ? found->Find(key) : nullptr;
    if (entry == nullptr || !entry->has_value) return CopyCut(fallback, buffer, size);
    if (posix::IsUtf8(entry->value)) return CopyValue(entry->value, buffer, size);
    if (ini.from_utf16) {  // not UTF-16 in the file: refused alone
        if (size > 0) buffer[0] = '\0';
        return kIniRefused;
    }
    return CopyValue(posix::Windows1252ToUtf8(entry->value), buffer, size);
}

}  // namespace

std::uint32_t IniReadString(const char* section, const char* key, const char* fallback,
                            char* buffer, std::uint32_t size, const char* outside_file) {
    const posix::NativePath native(outside_file);
    const char* file = native.CStr();
    const std::string_view fallback_text = fallback ? fallback : "";
    const auto failed = [buffer, size] {
        if (size > 0) buffer[0] = '\0';
        return kIniFailed;
    };
    using Loaded = std::optional<const IniFile*>;  // empty: memory ran out
    const Loaded ini =
        file ? NoThrow(Loaded(), [file]() -> Loaded { return posix::LoadIni(file); }) : nullptr;
    if (!ini) return failed();
    if (*ini != nullptr) {
        const std::optional<std::uint32_t> read =
            NoThrow(std::optional<std::uint32_t>(), [&]() -> std::optional<std::uint32_t> {
                return ReadParsed(**ini, section, key, fallback_text, buffer, size);
            });
        return read ? *read : failed();
    }
    if (section == nullptr) return CopyList({}, buffer, size);
    return CopyCut(fallback_text, buffer, size);
}

namespace {

// The new text of the file: the key's line replaced in place, or added after the last entry of
// its section, or a new section appended. Every other byte stays as it was.
std::string Edit(std::string_view text, const char* section, const char* key, const char* value) {
    const std::string_view newline =
        text.find("\r\n") != std::string_view::npos || text.empty() ? "\r\n" : "\n";
    const std::string entry = std::string(key) + "=" + value;

    bool in_section = false;
    bool section_seen = false;
    std::size_t insert_at = std::string_view::npos;  // end of the section's last non-blank line
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view body = text.substr(pos, next - pos);
        while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.remove_suffix(1);
        const IniLine line = posix::ClassifyIniLine(body);

        if (line.kind == IniLine::Kind::Section) {
            if (in_section) break;  // the first matching section ends here
            in_section = !section_seen && EqualsNoCase(line.name, section);
            if (in_section) {
                section_seen = true;
                insert_at = pos + body.size();
            }
        } else if (in_section && line.kind == IniLine::Kind::Key) {
            if (EqualsNoCase(line.name, key)) {
                std::size_t name_at = 0;
                while (posix::IsIniSpace(body[name_at])) ++name_at;  // keep the indentation
                std::string edited(text.substr(0, pos));
                edited += body.substr(0, name_at);
                edited += std::string(line.name) + "=" + value;
                edited += text.substr(pos + body.size());
                return edited;
            }
            insert_at = pos + body.size();
        } else if (in_section && line.kind != IniLine::Kind::Blank) {
            insert_at = pos + body.size();
        }
        pos = next;
    }

    if (section_seen) {
        std::string edited(text.substr(0, insert_at));
        edited += newline;
        edited += entry;
        if (insert_at == text.size()) edited += newline;
        edited += text.substr(insert_at);
        return edited;
    }
    std::string edited(text);
    if (!edited.empty() && edited.back() != '\n') edited += newline;
    edited += "[";
    edited += section;
    edited += "]";
    edited += newline;
    edited += entry;
    edited += newline;
    return edited;
}

// The file's bytes for editing: false when something is at the name but cannot be read, so that
// it is never replaced by a file that lost its contents. A missing file reads as empty.
bool ReadForEdit(const char* file, std::string& text) {
    text.clear();
    struct stat st;
    const posix::UniqueFd fd = posix::OpenRegularFile(file, st);
    if (!fd.Valid()) return errno == ENOENT;
    return posix::ReadToEnd(fd.Get(), text);
}

}  // namespace

bool IniWriteString(const char* section, const char* key, const char* value,
                    const char* outside_file) {
    const posix::NativePath native(outside_file);
    const char* file = native.CStr();
    if (section == nullptr || key == nullptr || value == nullptr || file == nullptr ||
        file[0] == '\0') {
        return false;
    }
    // Out of memory, the write fails before anything was written.
    return NoThrow(false, [&] {
        std::string bytes;
        if (!ReadForEdit(file, bytes)) return false;
        const posix::IniText ini = posix::DecodeIni(std::move(bytes));
        // A file with a mark holds only Unicode text: a name or value that is not UTF-8 has no
        // characters to write there, and the Windows build refuses it too.
        if (ini.encoding != posix::IniEncoding::kPlain &&
            (!posix::IsUtf8(section) || !posix::IsUtf8(key) || !posix::IsUtf8(value))) {
            return false;
        }
        if (!posix::EncodeIni(ini.encoding, Edit(ini.text, section, key, value), bytes)) {
            return false;
        }
        return posix::ReplaceFile(file, bytes.data(), bytes.size());
    });
}

}  // namespace wbh::platform
