// Between the fault table (fault_injection.cpp) and the platform's failing calls
// (<platform>/system_faults.cpp).
#pragma once

#include <cstddef>

#include "platform/guid.h"

namespace wbh::platform::fault {

// The names this platform's support fails, and how many: at most kMostNames.
constexpr std::size_t kMostNames = 32;
extern const char* const kInjectable[];
extern const std::size_t kInjectableCount;

// Counts a call of that name; true when this one is to fail.
bool Fails(const char* name);
// True when calls of that name are failing, without counting one.
bool Failing(const char* name);
// The planted GUID, once: false when none is planted.
bool TakePlantedGuid(Guid& guid);

}  // namespace wbh::platform::fault
