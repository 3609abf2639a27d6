// The POSIX build has no COM; the scope only keeps the failure path of the Windows build, so
// that a run whose initialisation fails (exit code 0, no result file) behaves and tests alike.
#include "platform/com.h"

#include "platform/portable/fault.h"

namespace wbh::platform {

ComScope::ComScope() : ok_(!fault::Fail(fault::Call::kCoInitialize)) {}

ComScope::~ComScope() = default;

}  // namespace wbh::platform
