// JavaScriptString on any text: the literal holds no control character raw, and the JavaScript
// string literal decoder below reads it back to exactly the text's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "setup/tracking_script.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// A double-quoted literal's contents as bytes, or false when it is not one literal. Bytes of
// 0x80 and up stand for themselves (U+2028 and U+2029 may stand raw since ECMAScript 2019);
// \x and \u must name a code point below 0x80, the only ones that are one byte of the text.
bool Decode(std::string_view literal, std::string& out) {
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return false;
    const std::string_view body = literal.substr(1, literal.size() - 2);
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"' || c == '\n' || c == '\r') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == body.size()) return false;  // the backslash took the closing quote
        static constexpr std::string_view kSimple = "\"\"''\\\\b\bf\fn\nr\rt\tv\v";
        const std::size_t pair = kSimple.find(body[i]);
        if (pair != std::string_view::npos && pair % 2 == 0) {
            out += kSimple[pair + 1];
            continue;
        }
        const std::size_t digits = body[i] == 'x' ? 2 : body[i] == 'u' ? 4 : 0;
        const std::string hex(body.substr(i + 1, digits));
        if (digits == 0 || hex.size() != digits ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        const long code = std::strtol(hex.c_str(), nullptr, 16);
        if (code >= 0x80) return false;
        out += static_cast<char>(code);
        i += digits;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, strnlen(bytes, size));  // the program stores C strings
    const std::string literal = wbh::JavaScriptString(text.c_str());
    std::string decoded;
    Check(Decode(literal, decoded) && decoded == text);
    Check(std::none_of(literal.begin(), literal.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }));
    return 0;
}
