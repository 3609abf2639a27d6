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

// Row id of HKEY_CURRENT_USER, fixed when the file is made.
constexpr std::int64_t kCurrentUserKey = 1;

// This user's registry file: webbook-helper/registry.db in the config folder (ConfigFolder of
// user_folders.h: $XDG_CONFIG_HOME, else ~/.config). Empty when that cannot be found.
std::string RegistryFilePath();

// Every method returns a registry error code (registry.h), 0 for success.
class RegistryStore {
public:
    // The store of the current user: the open one while the file is the same (name, device
    // and inode), else a new connection (making the directories, and the schema in a new
    // file). A file that is not a registry of this program is never written: every call then
    // fails with kBadDatabase.
    static long Get(RegistryStore** store);

    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // A read transaction sees one state of the file across several statements. A write
    // transaction takes the write lock at once (BEGIN IMMEDIATE): a read lock upgraded later
    // could meet another process doing the same, and one of them would fail without waiting.
    long Begin(bool write);
    long Commit();
    void Rollback();  // when a transaction is open

    // The child of that name (compared case-insensitively), or kFileNotFound.
    long FindChild(std::int64_t parent, std::string_view name, std::int64_t* child);
    long AddChild(std::int64_t parent, std::string_view name, std::int64_t* child);
    long CountChildren(std::int64_t key, std::uint32_t* count);

    // The value's type and size, and its bytes into data (room for *size bytes) unless data is
    // null; kMoreData, data untouched, when they do not fit.
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
        kFindChild,
        kAddChild,
        kCountChildren,
        kReadValue,
        kWriteValue,
        kRemoveValue,
        kSqlCount
    };
    class Query;

    RegistryStore(std::string path, dev_t device, ino_t inode);
    static long Open(const std::string& path, dev_t device, ino_t inode, RegistryStore** store);
    long CheckSchema();
    long MakeSchema();
    long Error(int result) const;
    long Prepare(Sql sql, sqlite3_stmt** statement);
    long Run(Sql sql);

    sqlite3* db_ = nullptr;
    std::string path_;
    dev_t device_;
    ino_t inode_;
    sqlite3_stmt* statements_[kSqlCount] = {};
};

}  // namespace wbh::platform::posix
