// UniqueFd: the owner of one open file descriptor, closed when it goes. Where the close's result
// matters (after writing, a close can report a write that failed), the caller closes with
// Close() and checks it.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace wbh::platform::posix {

class UniqueFd {
public:
    UniqueFd() = default;
    // Takes `fd` as open() returns it: -1 holds nothing.
    explicit UniqueFd(int fd) : fd_(fd) {}
    // errno is kept: a caller leaving on a failure reports that failure, not the close.
    ~UniqueFd() {
        if (fd_ < 0) return;
        const int error = errno;
        ::close(fd_);
        errno = error;
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        const UniqueFd old(std::exchange(fd_, std::exchange(other.fd_, -1)));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    bool Valid() const { return fd_ >= 0; }
    int Get() const { return fd_; }

    // Closes it now: false, errno set, when close fails (EBADF when it held nothing). The holder
    // is empty afterwards either way: a failed close still releases the descriptor.
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_ = -1;
};

}  // namespace wbh::platform::posix
