// INI files as Windows saves them in Unicode: UTF-16 after its byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace wbh::test {

// The file's bytes for `text`, mark first; units go as they are, so a surrogate without its pair
// (which no literal can hold) is written as a file may hold it.
inline std::string Utf16(std::u16string_view text, bool big_endian = false) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + std::u16string(text)) {
        bytes += static_cast<char>(big_endian ? unit >> 8 : unit & 0xFF);
        bytes += static_cast<char>(big_endian ? unit & 0xFF : unit >> 8);
    }
    return bytes;
}

}  // namespace wbh::test
