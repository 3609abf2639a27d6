// The handles that WinMain keeps for the whole run.
#include "platform/win32/module.h"

namespace wbh::platform::win32 {

HINSTANCE& Instance() {
    static HINSTANCE instance = nullptr;
    return instance;
}

HMODULE& Module() {
    static HMODULE module = nullptr;
    return module;
}

}  // namespace wbh::platform::win32
