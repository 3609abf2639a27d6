// Text from books made on Windows: their parameters files are usually in the ANSI code page of
// a French Windows, Windows-1252, while this build's text is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace wbh::platform::posix {

// Whether the bytes are well-formed UTF-8: shortest forms only, no surrogates, nothing past
// U+10FFFF.
bool IsUtf8(std::string_view text);

// The Windows-1252 text in UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, as Windows' own
// conversion makes them. May throw std::bad_alloc.
std::string Windows1252ToUtf8(std::string_view text);

}  // namespace wbh::platform::posix
