// INI files as Windows saves them in Unicode: UTF-16 with its byte-order mark, in either order.
#pragma once

#include <string>
#include <string_view>

namespace wbh::test {

// The file's bytes for `text`, mark first. Units are taken as they are, so a surrogate without
// its pair (no literal can hold one) is written as a file may hold it.
inline std::string Utf16(std::u16string_view text, bool big_endian = false) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

}  // namespace wbh::test
