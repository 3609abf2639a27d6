// Text inside the program is UTF-8 on every platform; its limits count characters as Windows
// counts them, in UTF-16 units, so that a limit means the same whatever script a name is in.
// A byte that is not part of a well-formed sequence (POSIX text may hold any bytes) counts as
// one unit, as its code-page character would.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wbh::utf8 {

// What DecodeNext returns for a byte that starts no well-formed sequence.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The character at text[pos] and the position after it: a well-formed sequence (no overlong
// form, no surrogate, nothing past U+10FFFF) is one character; any other byte is kNotUtf8 and
// takes one position.
constexpr char32_t DecodeNext(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t code = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // shorter forms are overlong
        if (lead == 0xED) high = 0x9F;  // D800 to DFFF are surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    }
    if (length == 0 || pos + length > text.size() || byte(pos + 1) < low || byte(pos + 1) > high) {
        ++pos;
        return kNotUtf8;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return kNotUtf8;
        }
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    pos += length;
    return code;
}

// Appends `code` (up to U+10FFFF; a surrogate too, which is then no well-formed UTF-8) in the
// UTF-8 pattern.
inline void Append(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 units of one character: two past the Basic Multilingual Plane, else one.
constexpr std::size_t Units(char32_t character) {
    return character != kNotUtf8 && character > 0xFFFF ? 2 : 1;
}

// The length of `text` in UTF-16 units.
constexpr std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < text.size();) units += Units(DecodeNext(text, pos));
    return units;
}

// The byte length of the longest start of `text` that holds at most `units` UTF-16 units and
// `bytes` bytes and ends between whole characters.
constexpr std::size_t Prefix(std::string_view text, std::size_t units, std::size_t bytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = pos;
        const std::size_t taken = Units(DecodeNext(text, next));
        if (taken > units || next > bytes) break;
        units -= taken;
        pos = next;
    }
    return pos;
}

}  // namespace wbh::utf8
