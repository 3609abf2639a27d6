// String resources on Windows: LoadStringW on the program's module, its stored UTF-16 converted
// exactly to UTF-8 and cut between whole characters at size - 1 bytes, as the POSIX build cuts.
#include "platform/resources.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "common/no_throw.h"
#include "common/utf8.h"
#include "platform/win32/module.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform {

int LoadText(unsigned id, char* buffer, int size) {
    if (size <= 0) return 0;
    buffer[0] = '\0';
    // With no buffer, LoadStringW hands out the stored string itself, without a NUL.
    const wchar_t* stored = nullptr;
    const int length =
        win32::Sys().LoadStringW(win32::Module(), id, reinterpret_cast<wchar_t*>(&stored), 0);
    if (length <= 0 || stored == nullptr) return 0;
    return NoThrow(0, [&] {
        std::string text;
        if (!win32::ToUtf8(std::wstring_view(stored, static_cast<std::size_t>(length)), text)) {
            return 0;
        }
        const std::size_t n = utf8::Prefix(text, text.size(), static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<int>(n);
    });
}

}  // namespace wbh::platform
