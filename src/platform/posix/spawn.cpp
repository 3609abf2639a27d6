// Programs started with posix_spawn, found in PATH's absolute folders.
#include "platform/posix/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

extern char** environ;

namespace wbh::platform::posix {

std::string FindProgram(const char* name) {
    std::string path;
    if (const char* value = std::getenv("PATH")) {
        path = value;
    } else {
        // Unset: the default path posix_spawnp and the shells take.
        const std::size_t size = ::confstr(_CS_PATH, nullptr, 0);
        if (size > 0) {
            path.resize(size);
            ::confstr(_CS_PATH, &path[0], size);
            path.pop_back();  // its NUL
        }
    }
    std::string_view rest = path;
    for (;;) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder[0] == '/') {
            std::string file(folder);
            file += '/';
            file += name;
            struct stat st;
            if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                ::access(file.c_str(), X_OK) == 0) {
                return file;
            }
        }
        if (colon == std::string_view::npos) return "";
        rest.remove_prefix(colon + 1);
    }
}

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
        posix_spawnattr_setflags(
            &attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID) == 0;
}

SpawnSettings::~SpawnSettings() {
    if (have_attributes_) posix_spawnattr_destroy(&attributes_);
    if (have_actions_) posix_spawn_file_actions_destroy(&actions_);
}

bool SpawnSettings::Start(char* const argv[], pid_t* child) const {
    if (!ready_) return false;
    const std::string program = FindProgram(argv[0]);
    return !program.empty() &&
           posix_spawn(child, program.c_str(), &actions_, &attributes_, argv, environ) == 0;
}

}  // namespace wbh::platform::posix
