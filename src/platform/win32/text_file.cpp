// Text files in the ANSI code page, the encoding every book's scripts have had: a character
// goes in only when the code page holds it exactly, asked of WideCharToMultiByte with
// WC_NO_BEST_FIT_CHARS and checked by converting back, since the code page's "best fit" would
// turn a fullwidth letter, quote or hyphen into its ASCII twin.
#include <windows.h>

#include <string>

#include "common/no_throw.h"
#include "platform/files.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform::files {

bool TextFileHolds(char32_t character) {
    if (character < 0x80) return true;
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) return false;
    wchar_t wide[2];
    std::size_t units = 1;
    if (character > 0xFFFF) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        units = 2;
    } else {
        wide[0] = static_cast<wchar_t>(character);
    }
    return NoThrow(false, [&] {
        std::string bytes;
        return win32::ToCodePage(std::wstring_view(wide, units), bytes);
    });
}

bool ReplaceTextFile(const char* path, std::string_view text) {
    return NoThrow(false, [&] {
        win32::WideText wide;
        std::string bytes;
        return win32::ToWide(text, wide) &&
               win32::ToCodePage(std::wstring_view(wide.data(), wide.size() - 1), bytes) &&
               ReplaceFileContents(path, bytes.data(), bytes.size());
    });
}

}  // namespace wbh::platform::files
