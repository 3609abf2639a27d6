// The real functions behind the POSIX layer's table of system calls.
#include "platform/posix/system_calls.h"


namespace wbh::platform::posix {

SystemCalls& Sys() {
    static SystemCalls calls = {&::stat,       &::open,        &::mkdir,       &::rename,
                                &::getpwuid_r, &::getrandom,   &::posix_spawn, &::fork,
                                &std::fgetc,   &::sqlite3_step};
    return calls;
}

}  // namespace wbh::platform::posix
