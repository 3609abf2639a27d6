// The bytes of a shortcut file in the Shell Link Binary File Format (MS-SHLLINK), as the POSIX
// build writes it: a link to a local file, with an icon location when one is given. Built on
// every platform, so the Windows tests can check that the shell link object reads it.
#pragma once

#include <string>

namespace wbh::platform {

// `target` and `icon` are UTF-8 paths; an empty icon sets none. The icon index is 0.
// Returns the empty string when a path is not valid UTF-8 or is too long for the format.
std::string ShellLinkFileBytes(const char* target, const char* icon);

}  // namespace wbh::platform
