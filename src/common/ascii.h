// ASCII helpers shared by every part of the program: the white-space set of the option
// grammar and the case-insensitive comparison used for option names, INI sections and keys.
// Bytes 0x80..0xFF are never white space and never fold: text is 8-bit, code-page agnostic.
#pragma once

#include <string_view>

namespace wbh {

// Space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The C0 control characters, 0x01 to 0x1F: Windows takes none of them in a file name.
constexpr bool IsControl(char c) { return c > '\0' && c < ' '; }

constexpr bool HasControl(std::string_view text) {
    for (char c : text) {
        if (IsControl(c)) return true;
    }
    return false;
}

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace wbh
