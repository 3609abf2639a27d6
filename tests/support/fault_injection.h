// Failures injected beneath the program: support/<platform>/system_faults.cpp puts into the
// layer's system call table functions that count their calls by name and, when armed, fail as
// the system does, so the layer's own error handling runs. Off until a test asks.
// Both platforms: "key" (opening or making one), "value read", "value write", "new guid",
// "dialog" (POSIX: no window process, and the terminal's input fails), "open document", "replace
// file". Windows only: "key create", "guid text", "string resource", "desktop folder",
// "CoCreateInstance", "LoadLibraryExW". POSIX only: "open", "mkdir", "getpwuid_r". Counted, never
// failed: "profile read" (both), "key close" and "association notice" (Windows).
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
