// The POSIX replace routine: which files may be replaced, and the temporary beside the file,
// held so that it is removed on every way out but the rename.
#include "platform/posix/text_files/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/text_files/ini_file.h"
#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {
namespace {

// Whether the existing file at `path` may be replaced. A file with no write bit at all is
// read-only for everyone, root included, as the Windows attribute is.
bool MayReplace(const char* path, const struct stat& st) {
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0) return false;
    return UniqueFd(Sys().open(path, O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)).Valid();
}

// A new temporary file beside the one it will replace; removed when it goes out of scope,
// unless it was renamed into place.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (!name_.empty()) ::unlink(name_.c_str());
    }

    // Creates it, empty, in `folder` (with its trailing '/', or empty for the working
    // directory); never opens a file that existed.
    bool Create(const std::string& folder, const std::string& name) {
        static std::atomic<unsigned long> counter{0};
        // The name only helps a person recognise the file; pid and counter make it unique, so
        // a long name is shortened to keep the whole within NAME_MAX.
        const std::string stem = name.substr(0, 128);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string temp = folder + "." + stem + "." + std::to_string(::getpid()) + "." +
                               std::to_string(++counter) + ".tmp";
            fd_ = UniqueFd(Sys().open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
            if (fd_.Valid()) name_ = std::move(temp);
            if (fd_.Valid() || errno != EEXIST) return fd_.Valid();
        }
        return false;
    }
    int Fd() const { return fd_.Get(); }
    bool Close() { return fd_.Close(); }
    bool RenameTo(const std::string& target) {
        if (Sys().rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    UniqueFd fd_;
    std::string name_;  // empty unless this holder made the file and it is still there
};

bool Replace(const char* path, const void* data, std::size_t size) {
    if (path == nullptr || path[0] == '\0' || (data == nullptr && size > 0)) return false;
    if (HasControl(path)) return false;  // no valid file name, as on Windows

    // Write through a symbolic link rather than replacing the link itself.
    std::string target = path;
    struct stat st;
    const bool existed = ::lstat(path, &st) == 0;
    if (existed && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path, resolved) == nullptr || Sys().stat(resolved, &st) != 0) return false;
        target = resolved;
    } else if (!existed && errno != ENOENT) {
        return false;
    }
    if (existed && !MayReplace(target.c_str(), st)) return false;

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return false;  // "folder/" names no file

    Temporary temp;
    if (!temp.Create(folder, name)) return false;
    const bool written = WriteAll(temp.Fd(), data, size) &&
                         (!existed || ::fchmod(temp.Fd(), st.st_mode & 07777) == 0) &&
                         ::fsync(temp.Fd()) == 0;
    return temp.Close() && written && temp.RenameTo(target);
}

}  // namespace

bool ReplaceFile(const char* path, const void* data, std::size_t size) {
    return NoThrow(false, [&] { return Replace(path, data, size); });
}

}  // namespace wbh::platform::posix
