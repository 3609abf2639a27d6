// Fault injection state. One process-wide table, as the program has one thread.
#include "platform/portable/fault.h"

#include <map>
#include <new>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "common/no_throw.h"

namespace wbh::platform::fault {
namespace {

std::vector<std::string> g_failing_names;
long g_fail_at = 0;  // call number that fails, 0 for none
long g_calls = 0;
std::map<std::string, long> g_calls_by_name;
std::map<std::string, long> g_fail_at_by_name;  // call number of that name that fails

}  // namespace

void FailCall(const char* name) { g_failing_names.push_back(name); }

void FailNth(long n) { g_fail_at = g_calls + n; }

void FailNthCall(const char* name, long n) { g_fail_at_by_name[name] = CallCount(name) + n; }

void Reset() {
    g_failing_names.clear();
    g_fail_at_by_name.clear();
    g_fail_at = 0;
    g_calls = 0;
    g_calls_by_name.clear();
}

long CallCount() { return g_calls; }

long CallCount(const char* name) {
    const auto found = g_calls_by_name.find(name);
    return found == g_calls_by_name.end() ? 0 : found->second;
}

namespace {

bool Armed(const char* name) {
    ++g_calls;
    const long nth = ++g_calls_by_name[name];
    if (g_fail_at != 0 && g_calls == g_fail_at) return true;
    const auto armed = g_fail_at_by_name.find(name);
    if (armed != g_fail_at_by_name.end() && armed->second == nth) return true;
    for (const std::string& failing : g_failing_names) {
        if (EqualsNoCase(failing, name)) return true;
    }
    return false;
}

}  // namespace

bool Fail(const char* name) {
    // Counting must not make a platform call throw when memory runs out: then nothing fails.
    return NoThrow(false, [name] { return Armed(name); });
}

}  // namespace wbh::platform::fault
