// The one rule that makes a Windows path from outside a POSIX one.
#include "platform/posix/native_path.h"

namespace wbh::platform::posix {

NativePath::NativePath(const char* path) noexcept {
    if (path == nullptr) return;
    for (int i = 0; i < PATH_MAX; ++i) {
        text_[i] = path[i] == '\\' ? '/' : path[i];
        if (path[i] == '\0') {
            state_ = State::kFits;
            return;
        }
    }
    state_ = State::kTooLong;
}

}  // namespace wbh::platform::posix
