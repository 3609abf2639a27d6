// The shipped program's own pieces of the C++ runtime (src/platform/win32/lean_runtime.cpp),
// linked here as in the program: every library error arrives as std::bad_alloc, a function's
// static is set up once (again after its set-up threw), and a throw inside a handler, a rethrow
// and the count of exceptions in flight all find the exceptions being handled; with malloc
// failing (it is wrapped at link time), a std::bad_alloc is still thrown, and again after that.
// Prints one line per failed check and exits 1 on any; a broken exception stack or memory for
// exceptions ends in std::terminate instead.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

extern "C" void* __real_malloc(std::size_t size);

namespace {

bool malloc_fails = false;
int failures = 0;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what);
        ++failures;
    }
}

int set_ups = 0;
bool throw_in_set_up = false;

int SetUp() {
    ++set_ups;
    if (throw_in_set_up) throw std::bad_alloc();
    return 42;
}

int Cached() {
    static const int value = SetUp();
    return value;
}

// The exceptions in flight, seen from a destructor that runs while one unwinds.
struct InFlight {
    int& seen;
    ~InFlight() { seen = std::uncaught_exceptions(); }
};

}  // namespace

extern "C" void* __wrap_malloc(std::size_t size) {
    return malloc_fails ? nullptr : __real_malloc(size);
}

int main() {
    throw_in_set_up = true;
    try {
        Cached();
        Check(false, "a static's set-up that throws: expected the exception");
    } catch (const std::bad_alloc&) {
    }
    throw_in_set_up = false;
    Check(Cached() == 42 && Cached() == 42, "a static after a failed set-up: expected 42");
    Check(set_ups == 2, "a static's set-up: expected once, and once more after it threw");

    // The library's own errors, as the program meets them.
    const char* caught = "nothing";
    try {
        std::string text;
        text.reserve(text.max_size() + 1);
    } catch (const std::bad_alloc&) {
        caught = "bad_alloc";
    } catch (...) {
        caught = "another exception";
    }
    Check(std::string(caught) == "bad_alloc", "a length error: expected std::bad_alloc");

    int outer_in_flight = -1;
    int inner_in_flight = -1;
    caught = "nothing";
    try {
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
    } catch (const std::bad_array_new_length&) {
        caught = "the inner exception";
    } catch (const std::bad_alloc&) {
        caught = "the outer exception";
    }
    Check(std::string(caught) == "the outer exception", "a rethrow: expected the outer exception");
    Check(outer_in_flight == 1, "while one exception unwinds: expected 1 in flight");
    Check(inner_in_flight == 1, "a throw inside a handler: expected 1 in flight");
    Check(std::uncaught_exceptions() == 0, "after the handlers: expected none in flight");

    for (int round = 1; round <= 2; ++round) {
        caught = "nothing";
        try {
            malloc_fails = true;
            throw std::bad_alloc();
        } catch (const std::bad_alloc&) {
            malloc_fails = false;
            caught = "bad_alloc";
        }
        malloc_fails = false;
        Check(std::string(caught) == "bad_alloc", "no memory: expected std::bad_alloc thrown");
    }
    if (failures == 0) std::printf("ok: the lean runtime throws, catches and rethrows\n");
    return failures == 0 ? 0 : 1;
}
