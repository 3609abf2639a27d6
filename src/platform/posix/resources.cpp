// String resources on POSIX: the string table of the resource script embedded in the program,
// copied with the contract of LoadStringA, except that a cut never splits a UTF-8 character.
#include "platform/resources.h"

#include <cstring>
#include <string_view>

#include "common/no_throw.h"
#include "common/utf8.h"
#include "platform/portable/resource_script.h"

namespace wbh::platform {

int LoadText(unsigned id, char* buffer, int size) {
    if (size <= 0) return 0;
    // Windows looks up only the low 16 bits of the id. The script is parsed on first use, which
    // may run out of memory: then no string is found.
    const std::string_view text = NoThrow(std::string_view(), [id] {
        const auto& strings = ProgramResources().strings;
        const auto found = strings.find(static_cast<int>(id & 0xFFFF));
        return found != strings.end() ? std::string_view(found->second) : std::string_view();
    });
    const std::size_t n = utf8::Prefix(text, text.size(), static_cast<std::size_t>(size) - 1);
    if (n > 0) std::memcpy(buffer, text.data(), n);  // a missing string has no data pointer
    buffer[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace wbh::platform
