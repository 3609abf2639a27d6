// The system calls of the POSIX layer whose failures the program handles, made through one
// table rather than by name, as SQLite's os_unix.c keeps its aSyscall[]: the program holds the
// real functions, and a test may put in their place functions that fail as the system fails
// (the same errno, the same SQLite code), so that the layer's own error handling runs.
#pragma once

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>

namespace wbh::platform::posix {

struct SystemCalls {
    decltype(&::stat) stat;
    decltype(&::open) open;
    decltype(&::mkdir) mkdir;
    decltype(&::rename) rename;
    decltype(&::getpwuid_r) getpwuid_r;
    decltype(&::getrandom) getrandom;
    decltype(&::posix_spawn) posix_spawn;
    decltype(&::fork) fork;
    decltype(&std::fgetc) fgetc;
    decltype(&::sqlite3_step) sqlite3_step;
};

// The process's one table, holding the real functions until a test replaces some.
SystemCalls& Sys();

}  // namespace wbh::platform::posix
