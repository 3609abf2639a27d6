// The SQLite file behind the POSIX registry: where it lives, its schema, and the statements the
// registry calls run on it. One connection per process, opened again whenever the file's name
// or identity changes; docs/registry.md describes the schema for people reading the file.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace wbh::platform::posix {

// Row ids of the two roots, fixed when the file is made.
constexpr std::int64_t kCurrentUserKey = 1;
constexpr std::int64_t kClassesRootKey = 2;

// This user's registry file: webbook-helper/registry.db in the config folder (ConfigFolder of
// user_folders.h: $XDG_CONFIG_HOME, else ~/.config). Empty when that cannot be found.
std::string RegistryFilePath();

// How long a registry call waits for the file that another process holds locked (other
// processes' transactions take a few milliseconds each). Process-wide: once one call has waited
// the whole limit in vain, the store is taken as stuck and no later call waits, so the run goes
// on at once as it does when a value cannot be written.
struct BusyWait {
    long limit_ms = 10000;
    bool gave_up = false;
    long waits = 0;  // calls that found the file locked and waited
};
BusyWait& TheBusyWait();

// Identity of an open registry file; a key id means something only in the file it came from.
struct StoreId {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const StoreId& o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const StoreId& o) const { return !(*this == o); }
};

// Every method returns a registry error code (registry.h), 0 for success.
class RegistryStore {
public:
    // The store of the current user: the open one while the file is the same, else a new
    // connection (making the directories, and the schema in a new file). A file that is not a
    // registry of this program is never written: every call then fails with kBadDatabase.
    static long Get(RegistryStore** store);

    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    StoreId id() const { return id_; }

    // A read transaction sees one state of the file across several statements. A write
    // transaction takes the write lock at once (BEGIN IMMEDIATE): a read lock upgraded later
    // could meet another process doing the same, and one of them would fail without waiting.
    long Begin(bool write);
    long Commit();
    void Rollback();  // when a transaction is open

    // kSuccess, or kKeyDeleted when the key's row is gone.
    long KeyExists(std::int64_t key);
    // The child of that name (compared case-insensitively), or kFileNotFound.
    long FindChild(std::int64_t parent, std::string_view name, std::int64_t* child);
    long AddChild(std::int64_t parent, std::string_view name, std::int64_t* child);
    long CountChildren(std::int64_t key, std::uint32_t* count);

    // The value's type and size, and its bytes into data (room for *size bytes) unless data is
    // null; kMoreData, data untouched, when they do not fit. kKeyDeleted when the key is gone.
    long ReadValue(std::int64_t key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                   std::uint32_t* size);
    long WriteValue(std::int64_t key, std::string_view name, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size);
    long RemoveValue(std::int64_t key, std::string_view name);

private:
    enum Sql {
        kBeginRead,
        kBeginWrite,
        kCommit,
        kRollback,
        kKeyExists,
        kFindChild,
        kAddChild,
        kCountChildren,
        kReadValue,
        kWriteValue,
        kRemoveValue,
        kSqlCount
    };
    class Query;

    RegistryStore(std::string path, StoreId id);
    static long Open(const std::string& path, StoreId id, RegistryStore** store);
    long CheckSchema();
    long MakeSchema();
    long Error(int result) const;
    long Prepare(Sql sql, sqlite3_stmt** statement);
    long Run(Sql sql);

    sqlite3* db_ = nullptr;
    std::string path_;
    StoreId id_;
    sqlite3_stmt* statements_[kSqlCount] = {};
};

}  // namespace wbh::platform::posix
