// Programs started with posix_spawn, found in PATH's absolute folders, and waited for with a
// limit.
#include "platform/posix/desktop/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "platform/posix/system_calls.h"

extern char** environ;

namespace wbh::platform::posix {
namespace {

long MillisecondsSince(const timespec& start) {
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
}

// The longest pause between two looks at a child: a tool that ends at once (the usual case)
// is seen within a few milliseconds, a slow one costs a few looks per second.
constexpr long kLongestStepMs = 50;

}  // namespace

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
            if (Sys().stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                ::access(file.c_str(), X_OK) == 0) {
                return file;
            }
        }
        if (colon == std::string_view::npos) return "";
        rest.remove_prefix(colon + 1);
    }
}

SpawnSettings::SpawnSettings(ChildOutput output) {
    have_actions_ = posix_spawn_file_actions_init(&actions_) == 0;
    have_attributes_ = have_actions_ && posix_spawnattr_init(&attributes_) == 0;
    if (!have_attributes_) return;
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    ready_ =
        posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
        posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
        (output == ChildOutput::kErrorsOnly ||
         posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0) ==
             0) &&
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
           Sys().posix_spawn(child, program.c_str(), &actions_, &attributes_, argv, environ) == 0;
}

void RunToEnd(const SpawnSettings& settings, char* const argv[], long limit_ms) {
    pid_t child;
    if (!settings.Start(argv, &child)) return;
    timespec start;
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    for (long step_ms = 1;; step_ms = step_ms * 2 < kLongestStepMs ? step_ms * 2 : kLongestStepMs) {
        const pid_t waited = ::waitpid(child, nullptr, WNOHANG);
        // ECHILD: whoever started this process ignored SIGCHLD, and the system has reaped the
        // child as it ended.
        if (waited == child || (waited < 0 && errno != EINTR)) return;
        const long left = limit_ms - MillisecondsSince(start);
        if (left <= 0) break;
        const long pause = step_ms < left ? step_ms : left;
        const timespec delay{pause / 1000, (pause % 1000) * 1000000L};
        ::nanosleep(&delay, nullptr);
    }
    // The child leads its own session, hence its own process group.
    ::kill(-child, SIGKILL);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace wbh::platform::posix
