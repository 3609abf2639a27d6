// Exact conversions between UTF-8, UTF-16 and the ANSI code page: each call refuses the text
// instead of replacing what it cannot convert.
#include "platform/win32/wide_text.h"

#include <climits>

namespace wbh::platform::win32 {

namespace {

bool Widen(UINT code_page, std::string_view text, WideText& wide) {
    wide.assign(1, L'\0');
    if (text.empty()) return true;
    if (text.size() > INT_MAX - 1) return false;
    const int length = static_cast<int>(text.size());
    const int units =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (units <= 0) return false;
    wide.assign(static_cast<std::size_t>(units) + 1, L'\0');
    if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                            units) != units) {
        wide.assign(1, L'\0');
        return false;
    }
    return true;
}

}  // namespace

bool ToWide(std::string_view text, WideText& wide) { return Widen(CP_UTF8, text, wide); }

bool FromCodePage(std::string_view bytes, WideText& wide) { return Widen(CP_ACP, bytes, wide); }

bool ToUtf8(std::wstring_view wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    if (wide.size() > INT_MAX / 3) return false;
    const int units = static_cast<int>(wide.size());
    // The default-character arguments must be null with CP_UTF8: there is no default character.
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), units,
                                          nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    text.resize(static_cast<std::size_t>(bytes));
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), units, &text[0], bytes,
                            nullptr, nullptr) != bytes) {
        text.clear();
        return false;
    }
    return true;
}

bool ToCodePage(std::wstring_view wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    if (wide.size() > 0x0FFFFFFF) return false;
    const int units = static_cast<int>(wide.size());
    // With the ANSI code page set to UTF-8 there is no default character to ask about.
    if (GetACP() == CP_UTF8) return ToUtf8(wide, bytes);
    BOOL defaulted = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr,
                                         0, nullptr, &defaulted);
    if (size <= 0 || defaulted) return false;
    bytes.resize(static_cast<std::size_t>(size));
    // Read back: a code page whose bytes do not give the same text does not hold it.
    WideText back(wide.size());
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, &bytes[0], size,
                            nullptr, &defaulted) != size ||
        defaulted ||
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, back.data(), units) !=
            units ||
        std::wstring_view(back.data(), wide.size()) != wide) {
        bytes.clear();
        return false;
    }
    return true;
}

WideArgument::WideArgument(const char* text)
    : wide_(1, L'\0'), null_(text == nullptr), ok_(text == nullptr || ToWide(text, wide_)) {}

const wchar_t* SkipProgramName(const wchar_t* command_line) {
    const wchar_t* p = command_line;
    bool quoted = false;
    for (; *p > L' ' || (*p != L'\0' && quoted); ++p) {
        if (*p == L'"') quoted = !quoted;
    }
    while (*p != L'\0' && *p <= L' ') ++p;
    return p;
}

bool CommandLineArguments(std::string& text) {
    return ToUtf8(SkipProgramName(GetCommandLineW()), text);
}

}  // namespace wbh::platform::win32
