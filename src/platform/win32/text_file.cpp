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
namespace {

// The UTF-16 text in the ANSI code page into `bytes`; false when a character has no exact form.
bool ToCodePage(std::wstring_view wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    if (wide.size() > 0x0FFFFFFF) return false;
    const int units = static_cast<int>(wide.size());
    // With the ANSI code page set to UTF-8 there is no default character to ask about.
    if (GetACP() == CP_UTF8) return win32::ToUtf8(wide, bytes);
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr,
                                         0, nullptr, &defaulted);
    if (size <= 0 || defaulted) return false;
    bytes.resize(static_cast<std::size_t>(size));
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, &bytes[0], size,
                            nullptr, &defaulted) != size ||
        defaulted) {
        return false;
    }
    // Read back: a code page whose bytes do not give the same text does not hold it.
    win32::WideText back(wide.size());
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, back.data(),
                               units) == units &&
           std::wstring_view(back.data(), wide.size()) == wide;
}

}  // namespace

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
        return ToCodePage(std::wstring_view(wide, units), bytes);
    });
}

bool ReplaceTextFile(const char* path, std::string_view text) {
    return NoThrow(false, [&] {
        win32::WideText wide;
        std::string bytes;
        return win32::ToWide(text, wide) &&
               ToCodePage(std::wstring_view(wide.data(), wide.size() - 1), bytes) &&
               ReplaceFileContents(path, bytes.data(), bytes.size());
    });
}

}  // namespace wbh::platform::files
