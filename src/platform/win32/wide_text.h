// The program's UTF-8 text and the UTF-16 of Windows' wide calls, converted exactly both ways:
// MultiByteToWideChar and WideCharToMultiByte with CP_UTF8 and the flags that refuse what does
// not convert (text that is not well-formed UTF-8, an unpaired surrogate) instead of putting a
// replacement or default character in its place. Every text crosses the Windows boundary here,
// so no name is ever read as another one; so does text in the ANSI code page, which files and
// values written for the ANSI calls hold.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace wbh::platform::win32 {

// UTF-16 units and a NUL after them. (std::wstring would bring the C++ library's whole wide
// string into the program.)
using WideText = std::vector<wchar_t>;

// UTF-8 to UTF-16. False, with `wide` the empty text, when `text` is not well-formed UTF-8
// (encoded surrogates and overlong forms included).
bool ToWide(std::string_view text, WideText& wide);
// UTF-16 to UTF-8. False, with `text` empty, when `wide` holds an unpaired surrogate.
bool ToUtf8(std::wstring_view wide, std::string& text);

// The ANSI code page's bytes to UTF-16. False, with `wide` the empty text, when they are no text
// of the code page (a lead byte without its second byte).
bool FromCodePage(std::string_view bytes, WideText& wide);
// UTF-16 to the ANSI code page's bytes. False, with `bytes` empty, when a character has no exact
// form there: never a look-alike (the code page's "best fit" would write a fullwidth letter as
// its ASCII twin).
bool ToCodePage(std::wstring_view wide, std::string& bytes);

// One text argument of a wide call, NUL-terminated. A null text stays null (the call's "none");
// one that does not convert leaves Ok() false, and then must not be passed on.
class WideArgument {
public:
    explicit WideArgument(const char* text);
    WideArgument(const WideArgument&) = delete;
    WideArgument& operator=(const WideArgument&) = delete;

    bool Ok() const { return ok_; }
    const wchar_t* Get() const { return null_ ? nullptr : wide_.data(); }
    // UTF-16 units, without the NUL.
    std::size_t Length() const { return wide_.size() - 1; }

private:
    WideText wide_;
    bool null_;
    bool ok_;
};

// A path for a wide call that takes at most MAX_PATH units with the NUL, as the ANSI calls did:
// Ok() is false also for a longer one.
class WidePath : public WideArgument {
public:
    explicit WidePath(const char* path)
        : WideArgument(path), fits_(Get() != nullptr && Length() < MAX_PATH) {}
    bool Ok() const { return WideArgument::Ok() && fits_; }

private:
    bool fits_;
};

// The process's arguments after the program's own name (GetCommandLineW), split off as the C
// runtime splits them for WinMain, and converted to UTF-8. False, with `text` empty, when the
// command line does not convert.
bool CommandLineArguments(std::string& text);
// The part of `command_line` after the program's name and the blanks that follow it: the name
// runs to the first blank or control character outside double quotes.
const wchar_t* SkipProgramName(const wchar_t* command_line);

}  // namespace wbh::platform::win32
