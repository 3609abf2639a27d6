// COM for the program's one thread: the run's apartment is entered before dispatch and left
// after the result file; a nested one (S_FALSE) is left too, as COM counts them. Only an
// initialisation that succeeded is undone.
#include "platform/com.h"

#include <objbase.h>

#include "platform/win32/system_calls.h"

namespace wbh::platform {

ComScope::ComScope() : ok_(SUCCEEDED(win32::Sys().CoInitialize(nullptr))) {}

ComScope::~ComScope() {
    if (ok_) CoUninitialize();
}

}  // namespace wbh::platform
