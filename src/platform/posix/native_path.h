// Paths from outside (the command line, a parameters file, a book, the reader's typing) are
// written for Windows, so on POSIX a backslash in any of them is a folder separator: every
// platform call that takes such a path reads it through NativePath. Nothing else changes: a
// drive's "D:" is a folder of that name, relative like any path that does not begin with "/".
#pragma once

#include <climits>

namespace wbh::platform::posix {

class NativePath {
public:
    // Copies `path` with each backslash turned into "/"; allocates nothing.
    explicit NativePath(const char* path) noexcept;
    NativePath(const NativePath&) = delete;
    NativePath& operator=(const NativePath&) = delete;

    // The native path; null when there was no path or it is too long for any system call
    // (PATH_MAX bytes with its NUL), which TooLong() tells apart.
    const char* CStr() const { return state_ == State::kFits ? text_ : nullptr; }
    bool TooLong() const { return state_ == State::kTooLong; }

private:
    enum class State { kNone, kFits, kTooLong };
    State state_ = State::kNone;
    char text_[PATH_MAX];
};

}  // namespace wbh::platform::posix
