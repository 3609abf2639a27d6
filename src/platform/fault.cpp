// Fault injection state. One process-wide table, as the program has one thread.
#include "platform/fault.h"

#include <map>
#include <string>

#include "common/ascii.h"

namespace wbh::platform::fault {
namespace {

std::string g_failing_name;
long g_fail_at = 0;  // call number that fails, 0 for none
long g_calls = 0;
std::map<std::string, long> g_calls_by_name;

}  // namespace

void FailCall(const char* name) { g_failing_name = name ? name : ""; }

void FailNth(long n) { g_fail_at = g_calls + n; }

void Reset() {
    g_failing_name.clear();
    g_fail_at = 0;
    g_calls = 0;
    g_calls_by_name.clear();
}

long CallCount() { return g_calls; }

long CallCount(const char* name) {
    const auto found = g_calls_by_name.find(name);
    return found == g_calls_by_name.end() ? 0 : found->second;
}

bool Fail(const char* name) {
    ++g_calls;
    ++g_calls_by_name[name];
    if (g_fail_at != 0 && g_calls == g_fail_at) return true;
    return !g_failing_name.empty() && EqualsNoCase(g_failing_name, name);
}

}  // namespace wbh::platform::fault
