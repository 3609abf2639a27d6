// UTF-8 validation and the Windows-1252 to UTF-8 conversion.
#include "platform/posix/text_files/windows_1252.h"

#include <cstdint>

#include "common/utf8.h"

namespace wbh::platform::posix {
namespace {

// 0x80 to 0x9F; every other byte is the code point of the same number.
constexpr std::uint16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (utf8::DecodeNext(text, pos) == utf8::kNotUtf8) return false;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string converted;
    converted.reserve(text.size());
    for (const char c : text) {
        const unsigned b = static_cast<unsigned char>(c);
        utf8::Append(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b, converted);
    }
    return converted;
}

}  // namespace wbh::platform::posix
