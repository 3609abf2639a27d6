// How an INI file's bytes become the text the INI calls parse, and go back: kernel32 tells the
// encoding by the byte-order mark alone, and its writes keep the file in the encoding it was in.
// Owned by the INI reader and writer; the parse never sees a mark or a UTF-16 byte.
#pragma once

#include <string>
#include <string_view>

namespace wbh::platform::posix {

// kPlain: no mark, the ANSI code page on Windows, which this port takes as UTF-8 or, value by
// value, Windows-1252. The others follow their mark: EF BB BF, FF FE, FE FF.
enum class IniEncoding { kPlain, kUtf8, kUtf16Le, kUtf16Be };

bool IsUtf16(IniEncoding encoding);

struct IniText {
    IniEncoding encoding = IniEncoding::kPlain;
    // The bytes after the mark; from UTF-16, in UTF-8, where a surrogate without its pair stays
    // as its three-byte form (ED A0 80 to ED BF BF): no UTF-8, so the INI calls refuse that
    // name or value as kernel32's callers do, and a write gives the file back the same unit.
    std::string text;
};

// A last odd byte of a UTF-16 file is no character and is dropped, as kernel32 drops it. May
// throw std::bad_alloc.
IniText DecodeIni(std::string bytes);

// The file's bytes for `text` in `encoding`, mark first. False (`bytes` then unspecified) when
// UTF-16 is asked for and `text` holds a byte that is neither UTF-8 nor a surrogate's form: the
// text would not go back as it was given. May throw std::bad_alloc.
bool EncodeIni(IniEncoding encoding, std::string_view text, std::string& bytes);

}  // namespace wbh::platform::posix
