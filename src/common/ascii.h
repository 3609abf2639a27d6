// ASCII helpers shared by every part of the program: the white-space set of the option
// grammar and the case-insensitive comparison used for option names, INI sections and keys.
// Bytes 0x80..0xFF are never white space and never fold: text is 8-bit, code-page agnostic.
#pragma once

#include <string_view>

namespace wbh {

// Space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

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
