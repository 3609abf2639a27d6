// Failures injected beneath the program: the platform's test support (support/<platform>/
// system_faults.cpp) puts into the layer's table of system calls functions that count their
// calls and, when armed, fail as the system fails (its own error code, errno or SQLite code),
// so the layer's own error handling runs. Armed for the whole test process; off until a test
// asks. The names say what fails, the same on both platforms where both can fail it:
//   "key"            opening or making a registry key
//   "key create"     making one (Windows)
//   "value read"     reading a registry value
//   "value write"    writing one
//   "new guid"       the system's new GUID (CoCreateGuid; POSIX: getrandom)
//   "guid text"      a GUID's text (StringFromCLSID; POSIX formats it itself, which cannot fail)
//   "string resource", "desktop folder", "association notice" (counted)   Windows only
//   "dialog"         the dialog cannot be made (Windows) or shown (POSIX: no window process,
//                    and the terminal's input fails)
//   "open document"  starting the application that opens a file (ShellExecuteW; xdg-open)
//   "replace file"   the rename that puts a new file's content in place
//   "key close"      counted only (Windows; closing a POSIX key is no system call)
//   "profile read"   counted only: Windows' profile reads, POSIX's stat of a file (each read
//                    of an INI file makes one)
// and the platform's own entries: POSIX "open", "mkdir", "getpwuid_r"; Windows
// "CoCreateInstance", "LoadLibraryExW" (the load limited to the system folder).
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
