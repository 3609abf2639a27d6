// COM for the program's one thread: initialised before dispatch, uninitialised after the
// result file, only when the initialisation succeeded.
#include "platform/com.h"

#include <objbase.h>

#include "platform/portable/fault.h"

namespace wbh::platform {

ComScope::ComScope() : ok_(!fault::Fail("CoInitialize") && SUCCEEDED(CoInitialize(nullptr))) {}

ComScope::~ComScope() {
    if (ok_) CoUninitialize();
}

}  // namespace wbh::platform
