// INI files through kernel32's wide profile calls, and a read-only file refused before them.
// The calls decode the file as it is stored (the ANSI code page, or UTF-16 or UTF-8 after a
// byte-order mark); the program's UTF-8 goes in and comes out converted exactly, with the
// contract of the ANSI calls counted in UTF-8 bytes.
#include "platform/ini.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "common/no_throw.h"
#include "common/utf8.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform {
namespace {

using win32::WideArgument;

// Windows refuses to write a read-only file, but Wine run by root writes it: asked first, so
// that a read-only file stays on both, as ReplaceFileContents leaves it. A bare name is left to
// kernel32, which looks for it in the Windows directory, not in the working one.
bool IsReadOnly(const WideArgument& file) {
    if (std::wcspbrk(file.Get(), L"\\/:") == nullptr) return false;
    const DWORD attributes = GetFileAttributesW(file.Get());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// What kernel32 answers for a file that does not exist: no names, or the fallback.
std::uint32_t Missing(bool list, const char* fallback, char* buffer, std::uint32_t size) {
    buffer[0] = '\0';
    if (list || fallback == nullptr) {
        if (size > 1) buffer[1] = '\0';
        return 0;
    }
    const std::string_view text(fallback);
    const std::size_t n = utf8::Prefix(text, size, size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n < text.size() ? size - 1 : static_cast<std::uint32_t>(n);
}

// The converted answer into the caller's buffer, cut as the ANSI call cuts it, between whole
// characters: a list then ends with two NULs and the result is size - 2, a value's result is
// size - 1. `cut` says that the wide answer was cut already.
std::uint32_t Copy(const std::string& answer, bool list, bool cut, char* buffer,
                   std::uint32_t size) {
    if (list && size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    const std::uint32_t room = list ? size - 2 : size - 1;
    if (!cut && answer.size() < room) {
        std::memcpy(buffer, answer.data(), answer.size());
        buffer[answer.size()] = '\0';
        if (list) buffer[answer.size() + 1] = '\0';
        return static_cast<std::uint32_t>(answer.size());
    }
    const std::string_view text(answer);
    const std::size_t n = utf8::Prefix(text, room, room);
    std::memcpy(buffer, text.data(), n);
    std::memset(buffer + n, 0, size - n);
    return room;
}

// The names of a list (each followed by a NUL) as UTF-8, those that do not convert exactly left
// out: one name that cannot be told apart from another must not cost the names around it.
std::string ListNames(std::wstring_view list) {
    std::string names, name;
    for (std::size_t start = 0; start < list.size();) {
        std::size_t end = list.find(L'\0', start);
        if (end == std::wstring_view::npos) end = list.size();
        if (win32::ToUtf8(list.substr(start, end - start), name)) {
            names += name;
            if (end < list.size()) names += '\0';
        }
        start = end + 1;
    }
    return names;
}

std::uint32_t Read(const char* section, const char* key, const char* fallback, char* buffer,
                   std::uint32_t size, const char* file) {
    const bool list = section == nullptr || key == nullptr;
    const WideArgument wide_section(section), wide_key(key), wide_fallback(fallback),
        wide_file(file);
    if (!wide_section.Ok() || !wide_key.Ok() || !wide_fallback.Ok() || !wide_file.Ok()) {
        return Missing(list, fallback, buffer, size);
    }
    // A UTF-8 answer has at least as many bytes as UTF-16 units: a wide answer cut at this size
    // would not fit either.
    win32::WideText wide(size);
    const DWORD got = win32::Sys().GetPrivateProfileStringW(wide_section.Get(), wide_key.Get(),
                                                            wide_fallback.Get(), wide.data(), size,
                                                            wide_file.Get());
    const bool cut = got >= (list ? size - 2 : size - 1);
    std::wstring_view answer(wide.data(), got);
    // A cut between the two halves of a character: the caller reads again with more room, and
    // meanwhile the half is no text of the file's.
    if (cut && !answer.empty() && answer.back() >= 0xD800 && answer.back() <= 0xDBFF) {
        answer.remove_suffix(1);
    }
    if (list) return Copy(ListNames(answer), list, cut, buffer, size);
    std::string value;
    if (!win32::ToUtf8(answer, value)) {
        buffer[0] = '\0';
        return kIniRefused;
    }
    return Copy(value, list, cut, buffer, size);
}

}  // namespace

std::uint32_t IniReadString(const char* section, const char* key, const char* fallback,
                            char* buffer, std::uint32_t size, const char* file) {
    if (size == 0) return 0;
    const std::optional<std::uint32_t> result =
        NoThrow(std::optional<std::uint32_t>(), [&]() -> std::optional<std::uint32_t> {
            return Read(section, key, fallback, buffer, size, file);
        });
    if (result) return *result;
    buffer[0] = '\0';
    return kIniFailed;
}

bool IniWriteString(const char* section, const char* key, const char* value, const char* file) {
    return NoThrow(false, [&] {
        const WideArgument wide_section(section), wide_key(key), wide_value(value), wide_file(file);
        if (!wide_section.Ok() || !wide_key.Ok() || !wide_value.Ok() || !wide_file.Ok()) {
            return false;
        }
        if (file != nullptr && IsReadOnly(wide_file)) return false;
        return win32::Sys().WritePrivateProfileStringW(wide_section.Get(), wide_key.Get(),
                                                       wide_value.Get(), wide_file.Get()) != FALSE;
    });
}

}  // namespace wbh::platform
