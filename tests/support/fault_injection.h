// Failures injected beneath the program: support/<platform>/system_faults.cpp puts into the
// layer's system call table functions that count their calls by name (its kInjectable: each
// platform has its own) and, when armed, fail as the system does, so the layer's own error
// handling runs. Off until a test asks. Counted, never failed: "profile read", "key close".
#pragma once

#include "platform/guid.h"

namespace wbh::platform::fault {

// Whether this platform's support can make that fail.
bool Injectable(const char* name);
// Every call of that name fails from now on; several names can be failing at once.
void FailCall(const char* name);
// Only the n-th call of that name from now on (1 = the next one) fails.
void FailNthCall(const char* name, long n);
// Disarms everything, forgets a planted GUID and restarts the count.
void Reset();
// Calls of that name made since the last Reset.
long CallCount(const char* name);
// The next new GUID the system gives is this one.
void PlantGuid(const Guid& guid);

}  // namespace wbh::platform::fault
