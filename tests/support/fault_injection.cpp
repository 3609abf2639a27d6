// Fault injection state: one process-wide table, as the program has one thread, consulted
// through the platform's hook, which is set before the tests start.
#include "support/fault_injection.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/portable/fault.h"

namespace wbh::platform::fault {
namespace {

#define WBH_FAULT_NAME(name) #name,
constexpr const char* kNames[] = {WBH_FAULT_CALLS(WBH_FAULT_NAME)};
#undef WBH_FAULT_NAME
static_assert(sizeof kNames / sizeof kNames[0] == static_cast<int>(Call::kCount),
              "one name per call");

std::vector<std::string> g_failing_names;
std::map<std::string, long> g_calls_by_name;
std::map<std::string, long> g_fail_at_by_name;  // call number of that name that fails

// A misspelt name would arm nothing and the test would pass without its fault ever happening.
// The empty name is none on purpose: a table's row that fails nothing.
const char* Known(const char* name) {
    if (*name == '\0') return name;
    for (const char* known : kNames) {
        if (std::string(known) == name) return name;
    }
    std::fprintf(stderr, "fault injection: no injectable call is named \"%s\"\n", name);
    std::abort();
}

}  // namespace

void FailCall(const char* name) { g_failing_names.push_back(Known(name)); }

void FailNthCall(const char* name, long n) { g_fail_at_by_name[Known(name)] = CallCount(name) + n; }

void Reset() {
    g_failing_names.clear();
    g_fail_at_by_name.clear();
    g_calls_by_name.clear();
}

long CallCount(const char* name) {
    const auto found = g_calls_by_name.find(Known(name));
    return found == g_calls_by_name.end() ? 0 : found->second;
}

namespace {

bool Armed(const char* name) {
    const long nth = ++g_calls_by_name[name];
    const auto armed = g_fail_at_by_name.find(name);
    if (armed != g_fail_at_by_name.end() && armed->second == nth) return true;
    for (const std::string& failing : g_failing_names) {
        if (EqualsNoCase(failing, name)) return true;
    }
    return false;
}

bool FailHook(Call call) {
    const char* name = kNames[static_cast<int>(call)];
    // Counting must not make a platform call throw when memory runs out: then nothing fails.
    return NoThrow(false, [name] { return Armed(name); });
}

const bool g_hooked = (g_fail_hook = &FailHook, true);

}  // namespace
}  // namespace wbh::platform::fault
