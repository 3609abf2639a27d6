// The registry file: finding it, opening it, checking that it is ours before anything is
// written, and the SQL of each registry operation. Every write is one transaction in SQLite's
// default rollback journal, so a crash leaves the last committed state, and a call that finds
// the file locked waits for other processes' transactions (see WaitWhileBusy).
#include "platform/posix/registry/registry_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/posix/desktop/user_folders.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/unique_fd.h"
#include "platform/registry.h"

namespace wbh::platform::posix {

using registry::kAccessDenied;
using registry::kBadDatabase;
using registry::kFileNotFound;
using registry::kIoFailed;
using registry::kMoreData;
using registry::kOutOfMemory;
using registry::kSuccess;

namespace {

// Marks the file as this program's registry ("WBHR"), so that another program's SQLite file
// found at the name is never taken for an empty registry and written to.
constexpr int kApplicationId = 0x57424852;
constexpr int kSchemaVersion = 1;
// Pause between two tries at a locked file, and the longest wait.
constexpr int kBusyStepMs = 10;
constexpr int kBusyLimitMs = 10000;

// The root has no parent; every other key must have one that exists, and removing a key
// removes what is below it (in connections that turn foreign keys on, as this one does).
constexpr const char* kSchema = R"sql(
CREATE TABLE keys (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES keys (id) ON DELETE CASCADE,
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE (parent, name),
    CHECK (parent IS NOT NULL OR id = 1)
);
CREATE TABLE key_values (
    key INTEGER NOT NULL REFERENCES keys (id) ON DELETE CASCADE,
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY (key, name)
);
INSERT INTO keys (id, parent, name) VALUES (1, NULL, 'HKEY_CURRENT_USER');
PRAGMA application_id = 1463961682;
PRAGMA user_version = 1;
)sql";
static_assert(kApplicationId == 1463961682, "the schema text holds the id in decimal");

constexpr const char* kStatements[] = {
    "BEGIN",
    "BEGIN IMMEDIATE",
    "COMMIT",
    "ROLLBACK",
    "SELECT id FROM keys WHERE parent = ?1 AND name = ?2",
    "INSERT INTO keys (parent, name) VALUES (?1, ?2)",
    "SELECT count(*) FROM keys WHERE parent = ?1",
    "SELECT type, data FROM key_values WHERE key = ?1 AND name = ?2",
    "INSERT INTO key_values (key, name, type, data) VALUES (?1, ?2, ?3, ?4) "
    "ON CONFLICT (key, name) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM key_values WHERE key = ?1 AND name = ?2",
};

long FromErrno(int error) {
    if (error == EACCES || error == EPERM || error == EROFS) return kAccessDenied;
    if (error == ENOMEM) return kOutOfMemory;
    return kIoFailed;
}

// SQLite's busy handler: sleeps between tries, up to ten seconds (other processes'
// transactions take a few milliseconds each). Once one call has waited that long in vain, the
// store is taken as stuck for the rest of the run and no later call waits: the run goes on at
// once, as it does when a value cannot be written.
int WaitWhileBusy(void*, int tries) {
    static bool gave_up = false;
    if (gave_up) return 0;
    if (tries * kBusyStepMs >= kBusyLimitMs) {
        gave_up = true;
        return 0;
    }
    sqlite3_sleep(kBusyStepMs);
    return 1;
}

std::unique_ptr<RegistryStore>& Current() {
    static std::unique_ptr<RegistryStore> store;
    return store;
}

}  // namespace

std::string RegistryFilePath() {
    const std::string config = ConfigFolder();
    return config.empty() ? config : config + "/webbook-helper/registry.db";
}

// One statement from the cache, with its bindings; reset for the next use when it goes.
class RegistryStore::Query {
public:
    Query(RegistryStore& store, Sql sql) : store_(store) {
        result_ = store.Prepare(sql, &statement_);
    }
    ~Query() {
        if (statement_ != nullptr) {
            sqlite3_reset(statement_);
            sqlite3_clear_bindings(statement_);
        }
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int index, std::int64_t number) {
        if (result_ == kSuccess) Check(sqlite3_bind_int64(statement_, index, number));
        return *this;
    }
    // Names go in as the program's bytes: SQLite keeps text as given, and NOCASE folds ASCII.
    Query& Bind(int index, std::string_view text) {
        if (result_ == kSuccess) {
            Check(sqlite3_bind_text64(statement_, index, text.empty() ? "" : text.data(),
                                      text.size(), SQLITE_STATIC, SQLITE_UTF8));
        }
        return *this;
    }
    Query& BindBlob(int index, const std::uint8_t* data, std::uint32_t size) {
        // A null pointer would bind NULL; an empty value is a blob of no bytes.
        const void* bytes = size == 0 ? static_cast<const void*>("") : data;
        if (result_ == kSuccess) {
            Check(sqlite3_bind_blob64(statement_, index, bytes, size, SQLITE_STATIC));
        }
        return *this;
    }

    // True for a row; false at the end or on failure (then result() says which).
    bool Step() {
        if (result_ != kSuccess) return false;
        const int step = Sys().sqlite3_step(statement_);
        if (step == SQLITE_ROW) return true;
        if (step != SQLITE_DONE) result_ = store_.Error(step);
        return false;
    }
    long result() const { return result_; }
    sqlite3_stmt* get() const { return statement_; }

private:
    void Check(int bound) {
        if (bound != SQLITE_OK) result_ = store_.Error(bound);
    }

    RegistryStore& store_;
    sqlite3_stmt* statement_ = nullptr;
    long result_;
};

long RegistryStore::Get(RegistryStore** out) {
    std::unique_ptr<RegistryStore>& current = Current();
    const std::string path = RegistryFilePath();
    if (path.empty()) {
        current.reset();
        return kIoFailed;
    }
    struct stat st;
    if (Sys().stat(path.c_str(), &st) != 0) {
        const int error = errno;
        current.reset();
        if (error != ENOENT) return FromErrno(error);
        if (!MakeFolders(path.substr(0, path.rfind('/')))) return FromErrno(errno);
        // Made here rather than by SQLite, to give it mode 0600: it holds the reader's ids. It
        // is closed before SQLite opens it, as closing any descriptor of the file drops the
        // process's locks on it.
        const UniqueFd file(
            Sys().open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!file.Valid() && errno != EEXIST) return FromErrno(errno);  // EEXIST: another process
        if (Sys().stat(path.c_str(), &st) != 0) return FromErrno(errno);
    }
    // A directory or a FIFO at the name is no registry (and a FIFO would block the reads).
    if (!S_ISREG(st.st_mode)) {
        current.reset();
        return kBadDatabase;
    }
    if (current == nullptr || current->path_ != path || current->device_ != st.st_dev ||
        current->inode_ != st.st_ino) {
        current.reset();
        RegistryStore* opened = nullptr;
        const long result = Open(path, st.st_dev, st.st_ino, &opened);
        if (result != kSuccess) return result;
        current.reset(opened);
    }
    *out = current.get();
    return kSuccess;
}

long RegistryStore::Open(const std::string& path, dev_t device, ino_t inode, RegistryStore** out) {
    // The store owns the connection from the start, so that one that failed is closed too.
    std::unique_ptr<RegistryStore> store(new (std::nothrow) RegistryStore(path, device, inode));
    if (!store) return kOutOfMemory;
    // Without SQLITE_OPEN_CREATE: the file was made above, and a file that vanished since must
    // not come back by surprise. A file the user may not write is opened read-only.
    const int opened = sqlite3_open_v2(path.c_str(), &store->db_, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3* const db = store->db_;
    if (db == nullptr) return kOutOfMemory;
    if (opened != SQLITE_OK) return store->Error(opened);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, WaitWhileBusy, nullptr);
    const int keys = sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    if (keys != SQLITE_OK) return store->Error(keys);
    const long checked = store->CheckSchema();
    if (checked != kSuccess) return checked;
    *out = store.release();
    return kSuccess;
}

RegistryStore::RegistryStore(std::string path, dev_t device, ino_t inode)
    : path_(std::move(path)), device_(device), inode_(inode) {}

// Both take null as nothing to do.
RegistryStore::~RegistryStore() {
    for (sqlite3_stmt* statement : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
}

namespace {

// The first column of a one-row query, or -1 with *error set.
long long Number(sqlite3* db, const char* sql, int* error) {
    sqlite3_stmt* statement = nullptr;
    *error = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    long long number = -1;
    if (*error == SQLITE_OK) {
        *error = Sys().sqlite3_step(statement);
        if (*error == SQLITE_ROW) {
            number = sqlite3_column_int64(statement, 0);
            *error = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return number;
}

}  // namespace

// Ours: our application id and a schema version this program knows. Empty (a new file): made
// now. Anything else, such as another program's database, is left alone.
long RegistryStore::CheckSchema() {
    // One read transaction: another process may be making the schema at this moment, and the
    // three answers must come from the same state of the file.
    const long begun = Begin(false);
    if (begun != kSuccess) return begun;
    int error = SQLITE_OK;
    const long long application = Number(db_, "PRAGMA application_id", &error);
    long long version = -1;
    long long objects = -1;
    if (error == SQLITE_OK) version = Number(db_, "PRAGMA user_version", &error);
    if (error == SQLITE_OK) objects = Number(db_, "SELECT count(*) FROM sqlite_master", &error);
    Rollback();  // nothing was written
    if (error != SQLITE_OK) return Error(error);
    if (application == kApplicationId && version == kSchemaVersion) return kSuccess;
    if (application != 0 || version != 0 || objects != 0) return kBadDatabase;
    return MakeSchema();
}

long RegistryStore::MakeSchema() {
    long result = Begin(true);
    if (result != kSuccess) return result;
    // Another process may have made the schema between the check and the lock.
    int error = SQLITE_OK;
    const long long objects = Number(db_, "SELECT count(*) FROM sqlite_master", &error);
    if (error != SQLITE_OK) {
        result = Error(error);
    } else if (objects == 0) {
        error = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr);
        if (error != SQLITE_OK) result = Error(error);
    }
    if (result == kSuccess) result = Commit();
    if (result != kSuccess) {
        Rollback();
        return result;
    }
    return objects == 0 ? kSuccess : CheckSchema();
}

long RegistryStore::Error(int result) const {
    switch (result & 0xff) {
        case SQLITE_NOMEM:
            return kOutOfMemory;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return kAccessDenied;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return kBadDatabase;
        case SQLITE_CANTOPEN:
            return FromErrno(sqlite3_system_errno(db_));
        default:
            return kIoFailed;
    }
}

long RegistryStore::Prepare(Sql sql, sqlite3_stmt** statement) {
    if (statements_[sql] == nullptr) {
        const int prepared = sqlite3_prepare_v3(
            db_, kStatements[sql], -1, SQLITE_PREPARE_PERSISTENT, &statements_[sql], nullptr);
        if (prepared != SQLITE_OK) return Error(prepared);
    }
    *statement = statements_[sql];
    return kSuccess;
}

long RegistryStore::Run(Sql sql) {
    Query query(*this, sql);
    query.Step();
    return query.result();
}

long RegistryStore::Begin(bool write) { return Run(write ? kBeginWrite : kBeginRead); }

long RegistryStore::Commit() { return Run(kCommit); }

void RegistryStore::Rollback() {
    // SQLite has already rolled back after some failures (a full disk, no memory).
    if (!sqlite3_get_autocommit(db_)) Run(kRollback);
}

long RegistryStore::FindChild(std::int64_t parent, std::string_view name, std::int64_t* child) {
    Query query(*this, kFindChild);
    if (query.Bind(1, parent).Bind(2, name).Step()) {
        *child = sqlite3_column_int64(query.get(), 0);
        return kSuccess;
    }
    return query.result() != kSuccess ? query.result() : kFileNotFound;
}

long RegistryStore::AddChild(std::int64_t parent, std::string_view name, std::int64_t* child) {
    Query query(*this, kAddChild);
    query.Bind(1, parent).Bind(2, name).Step();
    if (query.result() == kSuccess) *child = sqlite3_last_insert_rowid(db_);
    return query.result();
}

long RegistryStore::CountChildren(std::int64_t key, std::uint32_t* count) {
    Query query(*this, kCountChildren);
    if (query.Bind(1, key).Step()) {
        *count = static_cast<std::uint32_t>(sqlite3_column_int64(query.get(), 0));
        return kSuccess;
    }
    return query.result() != kSuccess ? query.result() : kIoFailed;
}

long RegistryStore::ReadValue(std::int64_t key, std::string_view name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
    Query query(*this, kReadValue);
    if (!query.Bind(1, key).Bind(2, name).Step()) {
        return query.result() != kSuccess ? query.result() : kFileNotFound;
    }
    sqlite3_stmt* row = query.get();
    const auto stored_type = static_cast<std::uint32_t>(sqlite3_column_int64(row, 0));
    const void* bytes = sqlite3_column_blob(row, 1);
    const int length = sqlite3_column_bytes(row, 1);
    if (bytes == nullptr && length > 0) return kOutOfMemory;
    const auto stored_size = static_cast<std::uint32_t>(length);
    const std::uint32_t room = *size;
    *type = stored_type;
    *size = stored_size;
    if (data == nullptr) return kSuccess;
    if (stored_size > room) return kMoreData;
    if (stored_size > 0) std::memcpy(data, bytes, stored_size);
    return kSuccess;
}

long RegistryStore::WriteValue(std::int64_t key, std::string_view name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    Query query(*this, kWriteValue);
    query.Bind(1, key).Bind(2, name).Bind(3, static_cast<std::int64_t>(type));
    query.BindBlob(4, data, size).Step();
    return query.result();
}

long RegistryStore::RemoveValue(std::int64_t key, std::string_view name) {
    Query query(*this, kRemoveValue);
    query.Bind(1, key).Bind(2, name).Step();
    if (query.result() != kSuccess) return query.result();
    return sqlite3_changes(db_) > 0 ? kSuccess : kFileNotFound;
}

}  // namespace wbh::platform::posix
