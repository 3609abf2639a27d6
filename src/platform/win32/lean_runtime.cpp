// The C++ library's failure paths, cut to what this program needs. Every error the standard
// library raises here (no memory, a length past max_size) ends in the run's catch-all as a failed
// run, so one exception type serves them all. The library's own versions build std::logic_error
// messages on its old reference-counted strings, and its default terminate handler carries a
// symbol demangler and printf: together more than half of the program's size.
#include <cxxabi.h>

#include <cstdlib>
#include <new>

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char*) { throw bad_alloc(); }
void __throw_out_of_range_fmt(const char*, ...) { throw bad_alloc(); }
}  // namespace std

namespace __gnu_cxx {
// A window program has no console to print the exception's type on.
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The program runs on one thread (WinMain's, in a single-threaded COM apartment), so a
// function's static is set up without a lock: the library's guard would bring Windows's mutex
// and once functions and its recursive-initialisation error. The first byte says "done", as in
// the library; the compiler tests it before calling here.
namespace __cxxabiv1 {
extern "C" {
int __cxa_guard_acquire(__guard* guard) { return *reinterpret_cast<char*>(guard) == 0; }
void __cxa_guard_release(__guard* guard) noexcept { *reinterpret_cast<char*>(guard) = 1; }
void __cxa_guard_abort(__guard*) noexcept {}
}

// The exceptions being handled, for the one thread: the library keeps them per thread in
// emulated thread-local storage. The layout is the C++ ABI's.
struct __cxa_eh_globals {
    void* caught_exceptions;
    unsigned int uncaught_exceptions;
};
extern "C" {
__cxa_eh_globals* __cxa_get_globals() noexcept {
    static __cxa_eh_globals globals;
    return &globals;
}
__cxa_eh_globals* __cxa_get_globals_fast() noexcept { return __cxa_get_globals(); }
}
}  // namespace __cxxabiv1
