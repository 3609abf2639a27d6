// Files on POSIX: paths written for Windows made native, what lstat says about a name, and a
// file's content replaced through a temporary beside it, as the INI writer does, so a crash
// leaves either the old file or the new one whole.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "common/ascii.h"
#include "platform/fault.h"
#include "platform/posix/ini_file.h"

namespace wbh::platform::files {
namespace {

// Whether the existing file at `path` may be replaced, and its permission bits. A file with no
// write bit at all is read-only for everyone, root included, as the Windows attribute is.
bool MayReplace(const char* path, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

// Creates a new, empty temporary file in `folder` (with its trailing '/', or empty for the
// working directory): the descriptor, or -1. Never opens a file that existed.
int CreateTemporary(const std::string& folder, const std::string& name, std::string& temp) {
    static std::atomic<unsigned long> counter{0};
    // The name only helps a person recognise the file; pid and counter make it unique, so a
    // long name is shortened to keep the whole within NAME_MAX.
    const std::string stem = name.substr(0, 128);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + "." + stem + "." + std::to_string(::getpid()) + "." +
               std::to_string(++counter) + ".tmp";
        const int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

char Separator() { return '/'; }

void ToNativePath(char* path) {
    if (path == nullptr) return;
    for (char* p = path; *p != '\0'; ++p) {
        if (*p == '\\') *p = '/';
    }
}

Presence Probe(const char* path) {
    if (fault::Fail("ProbePath")) return Presence::kUnknown;
    if (path == nullptr || path[0] == '\0') return Presence::kUnknown;
    // No valid name, as on Windows: a name from a book that holds a control character never
    // becomes a file (it would, among other things, reach a terminal when listed).
    if (HasControl(path)) return Presence::kUnknown;
    struct stat st;
    if (::lstat(path, &st) == 0) return Presence::kPresent;
    switch (errno) {
        case ENOENT:
            return Presence::kAbsent;
        case EOVERFLOW:  // it is there, only its size does not fit the structure
            return Presence::kPresent;
        default:
            // ENOTDIR is no proof of absence: "file/" fails so while the file is there.
            // EACCES, ELOOP, ENAMETOOLONG, EIO, ...: the folder cannot be searched or the
            // name is no valid one.
            return Presence::kUnknown;
    }
}

bool ReplaceFileContents(const char* path, const void* data, std::size_t size) {
    if (fault::Fail("ReplaceFile")) return false;
    if (path == nullptr || path[0] == '\0' || (data == nullptr && size > 0)) return false;

    // Write through a symbolic link rather than replacing the link itself, as the INI writer.
    std::string target = path;
    struct stat st;
    bool existed = ::lstat(path, &st) == 0;
    if (existed && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) == nullptr || ::stat(resolved, &st) != 0) return false;
        target = resolved;
    } else if (!existed && errno != ENOENT) {
        return false;
    }
    if (existed && !MayReplace(target.c_str(), st)) return false;

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return false;  // "folder/" names no file

    std::string temp;
    const int fd = CreateTemporary(folder, name, temp);
    if (fd < 0) return false;
    const bool written = posix::WriteAll(fd, data, size) &&
                         (!existed || ::fchmod(fd, st.st_mode & 07777) == 0) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace wbh::platform::files
