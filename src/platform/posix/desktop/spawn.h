// Starting another program without a shell, and without forking: after GTK has started its
// threads, only posix_spawn may make a process. The program runs in a session of its own (a
// closing terminal does not take it along, and it can be ended with what it started), gets
// every signal at its default and none blocked (what this program ignores, SIGPIPE and
// SIGXFSZ, or whoever started it ignored is no concern of its), and its standard input from
// /dev/null; its standard output too, so that it never mixes with a terminal dialog's.
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <string>

namespace wbh::platform::posix {

// The absolute path of the executable file `name` in a folder of PATH (else of the system's
// default path), or "" when none has one. Only absolute entries are searched: an empty or
// relative one names a folder below the working folder, which may be a book's.
std::string FindProgram(const char* name);

// What the program's standard error is: this process's (a tool whose errors a person running
// this program should see, and which is waited for), or /dev/null (a program left running,
// which would hold a pipe that the caller reads this process's output from).
enum class ChildOutput { kErrorsOnly, kNone };

// The settings of posix_spawn, made once and released with the object.
class SpawnSettings {
public:
    explicit SpawnSettings(ChildOutput output);
    ~SpawnSettings();
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // Starts argv[0], found by FindProgram; true with its process id in *child, which the
    // caller reaps or leaves to init once this process ends. False when the settings could not
    // be made, the program is not found or cannot be started.
    bool Start(char* const argv[], pid_t* child) const;

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
    bool have_actions_ = false;
    bool have_attributes_ = false;
    bool ready_ = false;
};

// Starts argv[0] with `settings` and waits for it to end, at most `limit_ms` milliseconds.
// One still running then is killed with its process group (its session's: whatever it started
// and left there), so that nothing of it goes on writing once the caller has moved on.
void RunToEnd(const SpawnSettings& settings, char* const argv[], long limit_ms);

}  // namespace wbh::platform::posix
