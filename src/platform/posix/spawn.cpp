#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

extern char** environ;

namespace wbh::platform::posix {

SpawnSettings::SpawnSettings(bool quiet_output) {
    have_actions_ = posix_spawn_file_actions_init(&actions_) == 0;
    have_attributes_ = have_actions_ && posix_spawnattr_init(&attributes_) == 0;
    if (!have_attributes_) return;
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    ready_ =
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
        (!quiet_output || posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null",
                                                           O_WRONLY, 0) == 0) &&
        posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
        posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK) == 0;
}

SpawnSettings::~SpawnSettings() {
    if (have_attributes_) posix_spawnattr_destroy(&attributes_);
    if (have_actions_) posix_spawn_file_actions_destroy(&actions_);
}

bool SpawnSettings::Start(char* const argv[], pid_t* child) const {
    return ready_ && posix_spawnp(child, argv[0], &actions_, &attributes_, argv, environ) == 0;
}

}  // namespace wbh::platform::posix
