// Starting another program without a shell. It gets every signal at its default and none
// blocked (what this program ignores, SIGPIPE and SIGXFSZ, or whoever started it ignored is no
// concern of its), and its standard input from /dev/null; with `quiet_output` its standard
// output too, so that it never mixes with a terminal dialog's.
#pragma once

#include <spawn.h>
#include <sys/types.h>

namespace wbh::platform::posix {

// The settings of posix_spawnp, made once and released with the object. Start allocates
// nothing, so it may run in a child forked from a process with threads.
class SpawnSettings {
public:
    explicit SpawnSettings(bool quiet_output);
    ~SpawnSettings();
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // False when the settings could not be made; nothing can be started then.
    bool Ready() const { return ready_; }
    // posix_spawnp of argv[0], looked up on PATH; true with its process id in *child.
    bool Start(char* const argv[], pid_t* child) const;

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
    bool have_actions_ = false;
    bool have_attributes_ = false;
    bool ready_ = false;
};

}  // namespace wbh::platform::posix
