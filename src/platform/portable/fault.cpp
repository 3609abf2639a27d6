// The program's hooks: none. Tests set them (tests/support).
#include "platform/portable/fault.h"

namespace wbh::platform::fault {

bool (*g_fail_hook)(Call call) = nullptr;
bool (*g_planted_guid_hook)(Guid& guid) = nullptr;

}  // namespace wbh::platform::fault
