// The form of a registry key path, judged alike on both platforms: its limits are those of the
// Windows calls, counted in UTF-16 units, so that a book's id in any script names a key on both
// or on neither.
#include <string_view>

#include "common/utf8.h"
#include "platform/registry.h"

namespace wbh::platform::registry {

long CheckKeyPath(const char* path) {
    if (path == nullptr) return kSuccess;
    if (utf8::Utf16Length(path) > kMaxKeyPathLength) return kMoreData;
    if (path[0] == '\\') return kBadPathname;
    std::string_view rest = path;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        if (utf8::Utf16Length(rest.substr(0, end)) > kMaxKeyNameLength) return kInvalidParameter;
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return kSuccess;
}

}  // namespace wbh::platform::registry
