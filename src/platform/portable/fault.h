// Fault injection for tests: every platform call that can fail asks Fail(name) first and, when
// told to, fails as the real call would. Off unless a test arms it; the program never does.
#pragma once

namespace wbh::platform::fault {

// Every call of that name fails from now on ("CoInitialize", "RegOpenKeyEx", ...); several
// names can be failing at once.
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

// Asked by the platform layer before each injectable call: true means "fail this one".
bool Fail(const char* name);

}  // namespace wbh::platform::fault
