// The fault table: one process-wide state (the program has one thread) for the failing calls.
// It allocates nothing, so that counting never fails a call when memory runs out.
#include "support/fault_injection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "support/system_faults.h"

namespace wbh::platform::fault {
namespace {

struct State {
    long calls = 0;
    long fail_at = 0;  // the call number that fails; 0: none
    bool failing = false;
};

State g_states[kMostNames + 1];  // the last is the empty name's, which no call counts
std::optional<Guid> g_planted;

// A misspelt name, or one this platform cannot fail, would let a test pass without its fault
// ever happening. The empty name is none on purpose: a table's row that fails nothing.
State* Find(const char* name, bool must_exist) {
    if (*name == '\0') return &g_states[kMostNames];
    for (std::size_t i = 0; i < kInjectableCount && i < kMostNames; ++i)
        if (std::strcmp(kInjectable[i], name) == 0) return &g_states[i];
    if (!must_exist) return nullptr;
    std::fprintf(stderr, "fault injection: this platform fails nothing named \"%s\"\n", name);
    std::abort();
}

}  // namespace

bool Injectable(const char* name) { return *name != '\0' && Find(name, false) != nullptr; }

void FailCall(const char* name) { Find(name, true)->failing = true; }

void FailNthCall(const char* name, long n) {
    State* state = Find(name, true);
    state->fail_at = state->calls + n;
}

void Reset() {
    for (State& state : g_states) state = State();
    g_planted.reset();
}

long CallCount(const char* name) { return Find(name, true)->calls; }

void PlantGuid(const Guid& guid) { g_planted = guid; }

bool Fails(const char* name) {
    State* state = Find(name, true);
    ++state->calls;
    return state->failing || state->calls == state->fail_at;
}

bool Failing(const char* name) { return Find(name, true)->failing; }

bool TakePlantedGuid(Guid& guid) {
    if (!g_planted) return false;
    guid = *g_planted;
    g_planted.reset();
    return true;
}

}  // namespace wbh::platform::fault
