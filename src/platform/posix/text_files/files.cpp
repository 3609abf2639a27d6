// Files on POSIX: what lstat says about a name, and a file's content replaced by the routine the
// INI writer uses too, so a crash leaves either the old file or the new one whole. Every path is
// read through NativePath: a backslash in it is a folder separator.
#include "platform/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "common/ascii.h"
#include "platform/posix/native_path.h"
#include "platform/posix/text_files/replace_file.h"

namespace wbh::platform::files {

const NameLimit kNameLimit = {static_cast<std::size_t>(-1), NAME_MAX};

NameRule CheckName(const char* path) {
    const posix::NativePath native(path);
    if (native.TooLong()) return NameRule::kTooLong;
    if (native.CStr() == nullptr || native.CStr()[0] == '\0') return NameRule::kNever;
    // A control character makes no valid name, as on Windows: a name from a book holding one
    // never becomes a file (it would, among other things, reach a terminal when listed).
    const std::string_view text(native.CStr());
    if (HasControl(text)) return NameRule::kNever;
    const std::string_view name = text.substr(text.rfind('/') + 1);
    if (name.empty() || name == "." || name == "..") return NameRule::kNever;
    if (name.size() > kNameLimit.bytes || text.size() >= PATH_MAX) return NameRule::kTooLong;
    return NameRule::kFile;
}

char Separator() { return '/'; }

Presence Probe(const char* outside_path) {
    const posix::NativePath native(outside_path);
    const char* path = native.CStr();
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
    if (CheckName(path) != NameRule::kFile) return false;
    return posix::ReplaceFile(posix::NativePath(path).CStr(), data, size);
}

}  // namespace wbh::platform::files
