// The two handles kept at entry: the instance that dialogs are made from and the module that
// string resources are loaded from (both name the running program).
#pragma once

#include <windows.h>

namespace wbh::platform::win32 {

HINSTANCE& Instance();
HMODULE& Module();

}  // namespace wbh::platform::win32
