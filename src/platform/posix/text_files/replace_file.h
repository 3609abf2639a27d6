// Replacing a whole file on POSIX, the one routine behind every file the program writes over:
// the INI writer and files::ReplaceFileContents. The new bytes go into a temporary beside the
// file, which is then renamed over it, so the file is either as it was or complete.
#pragma once

#include <cstddef>

namespace wbh::platform::posix {

// Gives the file at `path` exactly `size` bytes, making it when there is nothing at the name.
// Left as they are (false): a file without any write bit (read-only, as the Windows attribute,
// root included) or that cannot be opened for writing, anything but a regular file, a symbolic
// link to nothing, a missing folder. A link to a file is written through; a replaced file keeps
// its permission bits, a new one gets 0666 less the umask. The temporary's name always fits the
// name limit, and it is removed on every failure. Never throws.
bool ReplaceFile(const char* path, const void* data, std::size_t size);

}  // namespace wbh::platform::posix
