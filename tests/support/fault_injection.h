// Fault injection: the platform layer's injectable calls made to fail, by name ("CoInitialize",
// "RegOpenKeyEx", ...: the names of platform/portable/fault.h), and counted. Armed for the
// whole test process; off until a test asks.
#pragma once

namespace wbh::platform::fault {

// Every call of that name fails from now on; several names can be failing at once.
void FailCall(const char* name);
// Only the n-th call of that name from now on (1 = the next one) fails.
void FailNthCall(const char* name, long n);
// Only the n-th injectable call from now on (1 = the next one) fails, whatever its name.
void FailNth(long n);
// Disarms everything and restarts the count.
void Reset();
// Injectable calls made since the last Reset: all of them, or those of one name.
long CallCount();
long CallCount(const char* name);

}  // namespace wbh::platform::fault
