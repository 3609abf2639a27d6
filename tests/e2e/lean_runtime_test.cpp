// The shipped program's own pieces of the C++ runtime (src/platform/win32/lean_runtime.cpp),
// linked here as in the program. Prints one line per failed check and exits 1 on any; a broken
// exception stack ends in std::terminate instead.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) std::printf("FAIL: %s\n", what);
    failures += ok ? 0 : 1;
}

// What a call throws, as the program's handlers tell it.
template <typename Call>
std::string Thrown(Call call) {
    try {
        call();
    } catch (const std::bad_array_new_length&) {
        return "bad_array_new_length";
    } catch (const std::bad_alloc&) {
        return "bad_alloc";
    } catch (...) {
        return "another exception";
    }
    return "nothing";
}

int set_ups = 0;
bool throw_in_set_up = true;

int Cached() {
    static const int value = [] {
        ++set_ups;
        if (throw_in_set_up) throw std::bad_alloc();
        return 42;
    }();
    return value;
}

// The exceptions in flight, seen from a destructor that runs while one unwinds.
struct InFlight {
    int& seen;
    ~InFlight() { seen = std::uncaught_exceptions(); }
};

}  // namespace

int main() {
    Check(Thrown(Cached) == "bad_alloc", "a static's set-up that throws: expected bad_alloc");
    throw_in_set_up = false;
    Check(Cached() == 42 && Cached() == 42, "a static after a failed set-up: expected 42");
    Check(set_ups == 2, "a static's set-up: expected once, and once more after it threw");
    Check(Thrown([] { std::string().reserve(std::string().max_size() + 1); }) == "bad_alloc",
          "a length error: expected std::bad_alloc");

    int outer_in_flight = -1, inner_in_flight = -1;
    const std::string rethrown = Thrown([&] {
        try {
            InFlight probe{outer_in_flight};
            throw std::bad_alloc();
        } catch (const std::bad_alloc&) {
            try {
                InFlight probe{inner_in_flight};
                throw std::bad_array_new_length();
            } catch (const std::bad_array_new_length&) {
            }
            throw;  // the first exception again, once the second is done
        }
    });
    Check(rethrown == "bad_alloc", "a rethrow: expected the outer exception");
    Check(outer_in_flight == 1, "while one exception unwinds: expected 1 in flight");
    Check(inner_in_flight == 1, "a throw inside a handler: expected 1 in flight");
    Check(std::uncaught_exceptions() == 0, "after the handlers: expected none in flight");
    if (failures == 0) std::printf("ok: the lean runtime throws, catches and rethrows\n");
    return failures == 0 ? 0 : 1;
}
