// String resources on Windows: LoadStringA on the program's module, which converts the stored
// UTF-16 to the ANSI code page and cuts at size - 1 bytes.
#include "platform/resources.h"

#include <windows.h>

#include "platform/portable/fault.h"
#include "platform/win32/module.h"

namespace wbh::platform {

int LoadText(unsigned id, char* buffer, int size) {
    const bool failed = fault::Fail("LoadString");
    // LoadStringA answers -1 for a zero size (Wine) instead of the 0 of the contract.
    if (size <= 0) return 0;
    // Not every LoadStringA writes the NUL for a missing string.
    buffer[0] = '\0';
    if (failed) return 0;
    const int copied = LoadStringA(win32::Module(), id, buffer, size);
    return copied > 0 ? copied : 0;
}

}  // namespace wbh::platform
