// The POSIX system call table's entries replaced, before the tests start, by functions that
// count the call under its name and either fail as Linux and SQLite do or call the real one.
#include "support/system_faults.h"

#include <fcntl.h>
#include <sqlite3.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "platform/posix/system_calls.h"

namespace wbh::platform::fault {

const char* const kInjectable[] = {"key",    "value read",    "value write",  "new guid",
                                   "dialog", "open document", "replace file", "profile read",
                                   "open",   "mkdir",         "getpwuid_r"};
const std::size_t kInjectableCount = sizeof kInjectable / sizeof kInjectable[0];

namespace {

const posix::SystemCalls g_real = posix::Sys();

bool Starts(const char* text, const char* prefix) {
    return text != nullptr && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Counts the call; true, with errno set to `code`, when this one is to fail.
bool FailsWith(const char* name, int code) {
    if (!Fails(name)) return false;
    errno = code;
    return true;
}

int Open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    return FailsWith("open", EACCES) ? -1 : g_real.open(path, flags, mode);
}

// The registry's statements, told apart by their SQL: a key walk starts by looking for the first
// name below the root, outside a write transaction (a key made in a walk of its own is looked
// for again there); each value read and write is one statement.
int Step(sqlite3_stmt* statement) {
    const char* sql = sqlite3_sql(statement);
    if (Starts(sql, "SELECT type, data FROM key_values") && Fails("value read")) {
        return SQLITE_IOERR_READ;
    }
    if (Starts(sql, "INSERT INTO key_values") && Fails("value write")) return SQLITE_READONLY;
    if (Starts(sql, "SELECT id FROM keys") &&
        sqlite3_txn_state(sqlite3_db_handle(statement), nullptr) != SQLITE_TXN_WRITE) {
        char* expanded = sqlite3_expanded_sql(statement);
        const bool from_root =
            expanded != nullptr && std::strstr(expanded, "parent = 1 ") != nullptr;
        sqlite3_free(expanded);
        if (from_root && Fails("key")) return SQLITE_IOERR_READ;
    }
    return g_real.sqlite3_step(statement);
}

// Capture-free lambdas convert to the entries' function pointers; `auto... a` takes the arguments.
const bool g_installed = [] {
    static_assert(sizeof kInjectable / sizeof kInjectable[0] <= kMostNames);
    posix::SystemCalls& calls = posix::Sys();
    calls.stat = [](auto... a) noexcept {
        Fails("profile read");  // counted only
        return g_real.stat(a...);
    };
    calls.open = Open;
    calls.mkdir = [](auto... a) noexcept {
        return FailsWith("mkdir", EACCES) ? -1 : g_real.mkdir(a...);
    };
    calls.rename = [](auto... a) noexcept {
        return FailsWith("replace file", EACCES) ? -1 : g_real.rename(a...);
    };
    // "No entry for this user": found stays null, with no error.
    calls.getpwuid_r = [](uid_t uid, passwd* entry, char* buffer, std::size_t size,
                          passwd** found) {
        if (!Fails("getpwuid_r")) return g_real.getpwuid_r(uid, entry, buffer, size, found);
        *found = nullptr;
        return 0;
    };
    // A kernel without the call. A planted GUID comes as the bytes of a version 4 GUID would.
    calls.getrandom = [](void* buffer, std::size_t size, unsigned flags) -> ssize_t {
        if (FailsWith("new guid", ENOSYS)) return -1;
        Guid planted;
        if (size == sizeof planted && TakePlantedGuid(planted)) {
            std::memcpy(buffer, &planted, sizeof planted);  // the host's little-endian layout
            return static_cast<ssize_t>(size);
        }
        return g_real.getrandom(buffer, size, flags);
    };
    calls.posix_spawn = [](auto child, auto path, auto actions, auto attributes, char* const argv[],
                           auto environment) {
        if (argv[0] != nullptr && std::strcmp(argv[0], "xdg-open") == 0 && Fails("open document")) {
            return EAGAIN;
        }
        return g_real.posix_spawn(child, path, actions, attributes, argv, environment);
    };
    // No window process can start, so the dialog goes to the terminal, whose input then fails.
    calls.fork = []() noexcept {
        if (!Failing("dialog")) return g_real.fork();
        errno = EAGAIN;
        return pid_t{-1};
    };
    calls.fgetc = [](std::FILE* stream) {
        return FailsWith("dialog", EIO) ? EOF : g_real.fgetc(stream);
    };
    calls.sqlite3_step = Step;
    return true;
}();

}  // namespace
}  // namespace wbh::platform::fault
