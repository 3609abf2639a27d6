// Fault injection: the platform layer's injectable calls made to fail, by name ("CoInitialize",
// "RegOpenKeyEx", ...: the names of platform/portable/fault.h), and counted. Armed for the
// whole test process; off until a test asks.
#pragma once

namespace wbh::platform::fault {

// Every call of that name fails from now on; several names can be failing at once.
void FailCall(const char* name);
// Only the n-th call of that name from now on (1 = the next one) fails.
void FailNthCall(const char* name, long n);
// Disarms everything and restarts the count.
void Reset();
// Calls of that name made since the last Reset.
long CallCount(const char* name);

}  // namespace wbh::platform::fault
