// The POSIX build has no COM: the run's scope always succeeds.
#include "platform/com.h"

namespace wbh::platform {

ComScope::ComScope() : ok_(true) {}

ComScope::~ComScope() = default;

}  // namespace wbh::platform
