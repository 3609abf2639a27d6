// String resources of the program's module, in UTF-8, with the contract of LoadStringA. Windows
// loads them from the resources linked into the program; POSIX reads the same resource script,
// embedded in the program at build time, so both builds show the same texts.
#pragma once

namespace wbh::platform {

// Copies string `id` into buffer (`size` bytes), cut to size - 1 bytes between whole UTF-8
// characters and always NUL-terminated when size > 0. Returns the number
// of bytes copied, not counting the NUL; 0 when there is no such string (buffer then holds the
// empty text).
int LoadText(unsigned id, char* buffer, int size);

}  // namespace wbh::platform
