// COM for the program's one thread: the run's apartment is entered before dispatch and left
// after the result file; a nested one (S_FALSE) is left too, as COM counts them. Only an
// initialisation that succeeded is undone.
#include "platform/com.h"

#include <objbase.h>

#include "platform/portable/fault.h"

namespace wbh::platform {

ComScope::ComScope()
    : ok_(!fault::Fail(fault::Call::kCoInitialize) && SUCCEEDED(CoInitialize(nullptr))) {}

ComScope::~ComScope() {
    if (ok_) CoUninitialize();
}

}  // namespace wbh::platform
