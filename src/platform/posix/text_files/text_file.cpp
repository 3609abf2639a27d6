// Text files on POSIX are UTF-8, which holds every character: the bytes go as they are.
#include "platform/files.h"

namespace wbh::platform::files {

bool TextFileHolds(char32_t) { return true; }

bool ReplaceTextFile(const char* path, std::string_view text) {
    return ReplaceFileContents(path, text.data(), text.size());
}

}  // namespace wbh::platform::files
