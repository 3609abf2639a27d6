// The byte-order marks and the UTF-16 conversion of INI files, both ways.
#include "platform/posix/text_files/ini_encoding.h"

#include <utility>

#include "common/utf8.h"

namespace wbh::platform::posix {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string_view Mark(IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::kUtf8:
            return kUtf8Mark;
        case IniEncoding::kUtf16Le:
            return kUtf16LeMark;
        case IniEncoding::kUtf16Be:
            return kUtf16BeMark;
        case IniEncoding::kPlain:
            break;
    }
    return {};
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

void AppendUnit(char32_t unit, bool big_endian, std::string& out) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
}

std::string FromUtf16(std::string_view bytes, bool big_endian) {
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return big_endian ? (first << 8 | second) : (second << 8 | first);
    };
    const std::size_t units = bytes.size() / 2;
    std::string text;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t code = unit(i);
        if (IsHighSurrogate(code) && i + 1 < units && IsLowSurrogate(unit(i + 1))) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        }
        utf8::Append(code, text);
    }
    return text;
}

bool ToUtf16(std::string_view text, bool big_endian, std::string& bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t next = pos;
        char32_t code = utf8::DecodeNext(text, next);
        if (code == utf8::kNotUtf8) {
            // Only a surrogate's form, as FromUtf16 makes it, stands for a unit of the file.
            if (pos + 3 > text.size() || byte(pos) != 0xED || byte(pos + 1) < 0xA0 ||
                byte(pos + 1) > 0xBF || (byte(pos + 2) & 0xC0) != 0x80) {
                return false;
            }
            code = 0xD000 | ((byte(pos + 1) & 0x3Fu) << 6) | (byte(pos + 2) & 0x3Fu);
            next = pos + 3;
        }
        if (code > 0xFFFF) {
            AppendUnit(0xD800 + ((code - 0x10000) >> 10), big_endian, bytes);
            AppendUnit(0xDC00 + ((code - 0x10000) & 0x3FF), big_endian, bytes);
        } else {
            AppendUnit(code, big_endian, bytes);
        }
        pos = next;
    }
    return true;
}

}  // namespace

bool IsUtf16(IniEncoding encoding) {
    return encoding == IniEncoding::kUtf16Le || encoding == IniEncoding::kUtf16Be;
}

IniText DecodeIni(std::string bytes) {
    IniText ini;
    const std::string_view view(bytes);
    if (view.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        ini.encoding = IniEncoding::kUtf8;
    } else if (view.substr(0, 2) == kUtf16LeMark) {
        ini.encoding = IniEncoding::kUtf16Le;
    } else if (view.substr(0, 2) == kUtf16BeMark) {
        ini.encoding = IniEncoding::kUtf16Be;
    }
    const std::size_t mark = Mark(ini.encoding).size();
    if (IsUtf16(ini.encoding)) {
        ini.text = FromUtf16(view.substr(mark), ini.encoding == IniEncoding::kUtf16Be);
    } else {
        bytes.erase(0, mark);
        ini.text = std::move(bytes);
    }
    return ini;
}

bool EncodeIni(IniEncoding encoding, std::string_view text, std::string& bytes) {
    bytes = Mark(encoding);
    if (!IsUtf16(encoding)) {
        bytes += text;
        return true;
    }
    return ToUtf16(text, encoding == IniEncoding::kUtf16Be, bytes);
}

}  // namespace wbh::platform::posix
