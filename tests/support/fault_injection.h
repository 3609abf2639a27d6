// Failures injected beneath the program: support/<platform>/system_faults.cpp puts into the
// layer's system call table functions that count their calls by name and, when armed, fail as
// the system does (its own error, errno or SQLite code), so the layer's own error handling runs.
// Off until a test asks. Names shared where both platforms can fail it: "key" (opening or making
// a registry key), "value read", "value write", "new guid" (CoCreateGuid; getrandom), "dialog"
// (Windows: not made; POSIX: no window process, and the terminal's input fails), "open document"
// (ShellExecuteW; xdg-open), "replace file" (the rename putting new content in place), "profile
// read" (counted only: a profile read; POSIX's stat of a file, one per INI read).
// Windows only: "key create", "guid text" (StringFromCLSID), "key close" (counted only),
// "string resource", "desktop folder", "association notice" (counted), "CoCreateInstance",
// "LoadLibraryExW" (the load limited to the system folder). POSIX only: "open", "mkdir",
// "getpwuid_r".
#pragma once

namespace wbh::platform {
struct Guid;
}

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
