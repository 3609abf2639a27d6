// What only the SQLite registry has: a file per user found through XDG_CONFIG_HOME or HOME, kept
// across runs, never written when it is not ours, shared with other processes that may remove a
// key or make the file read-only. The registry contract itself is the shared RegKey table's.
#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "support/temp_dir.h"

namespace wbh::platform::registry {
namespace {

const Key kUser = RootKey(Root::kCurrentUser);
const Key kClasses = RootKey(Root::kClassesRoot);
constexpr char kDatabase[] = "webbook-helper/registry.db";

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

long Set(Key key, const char* name, const char* text) {
    return SetValue(key, name, kTypeString, Bytes(text),
                    static_cast<std::uint32_t>(std::strlen(text) + 1));
}

// The value's type and bytes as "type:bytes", or "<code N>".
std::string Get(Key key, const char* name) {
    char buffer[64];
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    const long result =
        QueryValue(key, name, &type, reinterpret_cast<std::uint8_t*>(buffer), &size);
    if (result != kSuccess) return "<code " + std::to_string(result) + ">";
    return std::to_string(type) + ":" + std::string(buffer, size);
}

int AddRow(void* rows, int columns, char** values, char**) {
    auto* text = static_cast<std::string*>(rows);
    for (int i = 0; i < columns; ++i) {
        if (i > 0) *text += '|';
        *text += values[i] ? values[i] : "NULL";
    }
    *text += '\n';
    return 0;
}

// Runs SQL on a registry file through a connection of its own, as another process would. The
// rows come back as "a|b" lines.
std::string Sql(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    std::string rows;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "<cannot open " + file + ">";
    }
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    sqlite3_exec(db, sql, AddRow, &rows, &error);
    if (error != nullptr) {
        rows += std::string("<error: ") + error + ">";
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return rows;
}

// Every key (with its parent's id) and every value, to compare the store before and after.
std::string Dump(const std::string& file) {
    return Sql(file,
               "SELECT id, parent, name FROM keys ORDER BY id;"
               "SELECT key, name, type, hex(data) FROM key_values ORDER BY key, name;");
}

// Each test has directories of its own for XDG_CONFIG_HOME and HOME, and gives the variables
// back as they were.
class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest() {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
        }
        UseConfig("config");
    }
    ~RegistryStoreTest() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

    // Points XDG_CONFIG_HOME at `name` in the test's directory; returns its registry file.
    std::string UseConfig(const std::string& name) {
        setenv("XDG_CONFIG_HOME", dir_.File(name).c_str(), 1);
        return dir_.File(name + "/" + kDatabase);
    }

    test::TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

mode_t Mode(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(RegistryStoreTest, FileIsFoundThroughXdgConfigHomeOrHomeInPrivateDirectories) {
    const struct {
        const char* xdg;       // null: unset; "@": the row's own absolute directory
        const char* expected;  // below the row's directory
        const char* made;      // a directory that did not exist before
    } rows[] = {
        {"@", "xdg/webbook-helper/registry.db", "xdg"},
        {nullptr, "home/.config/webbook-helper/registry.db", "home/.config"},
        {"", "home/.config/webbook-helper/registry.db", "home/.config"},
        {"relative/config", "home/.config/webbook-helper/registry.db", "home/.config"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.xdg ? row.xdg : "(unset)");
        const std::string base = dir_.File("row" + std::to_string(n++));
        std::filesystem::create_directories(base + "/home");
        setenv("HOME", (base + "/home").c_str(), 1);
        if (row.xdg == nullptr) {
            unsetenv("XDG_CONFIG_HOME");
        } else {
            setenv("XDG_CONFIG_HOME", row.xdg[0] == '@' ? (base + "/xdg").c_str() : row.xdg, 1);
        }

        Key key = nullptr;
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Quarlo", kAllAccess, &key));
        EXPECT_EQ(kSuccess, Set(key, "UserID", "me"));
        EXPECT_EQ(kSuccess, CloseKey(key));

        const std::string file = base + "/" + row.expected;
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << "expected the registry at " << file;
        EXPECT_EQ(0700u, Mode(base + "/" + row.made)) << "a directory made for it is private";
        EXPECT_EQ(0700u, Mode(file.substr(0, file.rfind('/'))));
        EXPECT_EQ(0600u, Mode(file)) << "the file holds the reader's identifiers";
        EXPECT_EQ("Software\nQuarlo\n",
                  Sql(file, "SELECT name FROM keys WHERE parent IS NOT NULL ORDER BY id"));
    }
    EXPECT_FALSE(std::filesystem::exists("relative")) << "a relative XDG_CONFIG_HOME is ignored";
}

TEST_F(RegistryStoreTest, KeepsEverythingAcrossReopeningWithNamesAsFirstWritten) {
    const std::string file = UseConfig("a");
    Key book = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Quarlo\\UserData", kAllAccess, &book));
    EXPECT_EQ(kSuccess, CloseKey(book));
    ASSERT_EQ(kSuccess,
              CreateKey(kUser, "SOFTWARE\\quarlo\\USERDATA\\Referrals\\Book1", kAllAccess, &book));
    EXPECT_EQ(kSuccess, Set(book, "UserID", "first"));
    EXPECT_EQ(kSuccess, SetValue(book, "USERID", kTypeBinary, Bytes("xyz"), 3));
    EXPECT_EQ(kSuccess, Set(book, "", "default"));
    Key extension = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kClasses, ".7xe", kAllAccess, &extension));
    EXPECT_EQ(kSuccess, Set(extension, nullptr, "Quarlo.Book"));
    EXPECT_EQ(kSuccess, CloseKey(extension));
    // Bytes above 0x7F are the program's own and are not folded.
    Key accented = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\\xC9t\xE9", kAllAccess, &accented));
    EXPECT_EQ(kSuccess, CloseKey(accented));
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\\xE9t\xE9", kAllAccess, &accented));
    EXPECT_EQ(kSuccess, CloseKey(accented));

    EXPECT_EQ(
        "1|NULL|HKEY_CURRENT_USER\n2|NULL|HKEY_CLASSES_ROOT\n3|1|Software\n4|3|Quarlo\n"
        "5|4|UserData\n6|5|Referrals\n7|6|Book1\n8|2|.7xe\n9|3|C974E9\n10|3|E974E9\n",
        Sql(file, "SELECT id, parent, CASE WHEN id > 8 THEN hex(name) ELSE name END FROM keys"))
        << "one row per key, named as first written, bytes unchanged";
    EXPECT_EQ("7||1|64656661756C7400\n7|UserID|3|78797A\n8||1|517561726C6F2E426F6F6B00\n",
              Sql(file, "SELECT key, name, type, hex(data) FROM key_values ORDER BY key, name"))
        << "a value keeps its first name when replaced; the default value is named ''";

    // Another file: none of it is there, and a handle from the first file names nothing.
    UseConfig("b");
    Key other = nullptr;
    EXPECT_EQ(kFileNotFound, OpenKey(kUser, "Software", kRead, &other));
    EXPECT_EQ(kKeyDeleted, Set(book, "UserID", "lost")) << "the id of a key in another file";
    EXPECT_EQ("", Sql(dir_.File(std::string("b/") + kDatabase), "SELECT * FROM key_values"));

    UseConfig("a");
    EXPECT_EQ("3:xyz", Get(book, "userid")) << "the handle works again in its own file";
    EXPECT_EQ(kSuccess, CloseKey(book));
    ASSERT_EQ(kSuccess,
              OpenKey(kUser, "software\\QUARLO\\userdata\\referrals\\BOOK1", kRead, &book));
    EXPECT_EQ(std::string("1:default\0", 10), Get(book, nullptr));
    EXPECT_EQ(kSuccess, CloseKey(book));
    ASSERT_EQ(kSuccess, OpenKey(kClasses, ".7XE", kRead, &extension));
    EXPECT_EQ(std::string("1:Quarlo.Book\0", 14), Get(extension, ""));
    EXPECT_EQ(kSuccess, CloseKey(extension));
}

TEST_F(RegistryStoreTest, AFileThatIsNoRegistryIsNeverWritten) {
    const std::string newer = UseConfig("newer");
    Key made = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &made));
    EXPECT_EQ(kSuccess, CloseKey(made));
    ASSERT_EQ("", Sql(newer, "PRAGMA user_version = 2"));
    // Things found at the registry's name, each made by a function given the path.
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
    } rows[] = {
        {"text", [](const std::string& file) { std::ofstream(file) << "[keys]\nnot sqlite\n"; }},
        {"another program's database",
         [](const std::string& file) {
             std::ofstream(file).close();
             ASSERT_EQ("", Sql(file, "CREATE TABLE keys (x); INSERT INTO keys VALUES (1)"));
         }},
        {"a later version of the registry",
         [&](const std::string& file) { std::filesystem::copy_file(newer, file); }},
        {"a directory", [](const std::string& file) { std::filesystem::create_directory(file); }},
        {"a FIFO", [](const std::string& file) { ASSERT_EQ(0, ::mkfifo(file.c_str(), 0600)); }},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string config = "c" + std::to_string(n++);
        const std::string file = UseConfig(config);
        std::filesystem::create_directories(file.substr(0, file.rfind('/')));
        row.make(file);
        const bool regular = std::filesystem::is_regular_file(file);  // a FIFO is never read
        const std::string before = regular ? dir_.Read(config + "/" + kDatabase) : "";

        Key key = nullptr;
        EXPECT_EQ(kBadDatabase, OpenKey(kUser, "Software", kRead, &key));
        EXPECT_EQ(kBadDatabase, CreateKey(kUser, "Software", kAllAccess, &key));
        EXPECT_EQ(nullptr, key) << "no handle given";
        EXPECT_EQ(kBadDatabase, Set(kUser, "v", "x"));
        EXPECT_EQ("<code 1009>", Get(kUser, "v"));
        EXPECT_EQ(kBadDatabase, DeleteValue(kUser, "v"));
        std::uint32_t count = 0;
        EXPECT_EQ(kBadDatabase, CountSubkeys(kClasses, &count));

        EXPECT_EQ(regular, std::filesystem::is_regular_file(file));
        if (regular) {
            EXPECT_EQ(before, dir_.Read(config + "/" + kDatabase))
                << "the file is left byte for byte as it was";
        }
        EXPECT_FALSE(std::filesystem::exists(file + "-journal"));
    }
}

// Runs in a child process, as "nobody" when the tests run as root (root may write any file);
// exits 0 when every expectation held, after naming those that did not.
void CheckReadOnlyFile(const std::string& base) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        std::fprintf(stderr, "cannot become nobody\n");
        std::_Exit(2);
    }
    int failures = 0;
    auto expect = [&](bool ok, const char* what) {
        if (!ok) std::fprintf(stderr, "expected %s\n", what);
        failures += !ok;
    };
    setenv("XDG_CONFIG_HOME", (base + "/ro").c_str(), 1);
    Key key = nullptr;
    expect(CreateKey(kUser, "Software\\Quarlo", kAllAccess, &key) == kSuccess, "a new registry");
    expect(Set(key, "UserID", "kept") == kSuccess, "a value stored");
    CloseKey(key);
    const std::string file = base + "/ro/" + kDatabase;
    setenv("XDG_CONFIG_HOME", (base + "/elsewhere").c_str(), 1);  // closes the connection
    expect(CreateKey(kUser, "x", kRead, &key) == kSuccess, "another registry");
    CloseKey(key);
    expect(::chmod(file.c_str(), 0444) == 0, "chmod");
    setenv("XDG_CONFIG_HOME", (base + "/ro").c_str(), 1);

    expect(OpenKey(kUser, "Software\\Quarlo", kAllAccess, &key) == kSuccess, "open to work");
    expect(Get(key, "UserID") == std::string("1:kept\0", 7), "the value read back");
    expect(Set(key, "UserID", "new") == kAccessDenied, "kAccessDenied for a set");
    expect(DeleteValue(key, "UserID") == kAccessDenied, "kAccessDenied for a delete");
    Key child = nullptr;
    expect(CreateKey(key, "New", kAllAccess, &child) == kAccessDenied,
           "kAccessDenied for a new key");
    expect(CreateKey(kUser, "software\\quarlo", kRead, &child) == kSuccess,
           "CreateKey of an existing key to open it");
    CloseKey(child);
    expect(Get(key, "UserID") == std::string("1:kept\0", 7), "the value unchanged");
    CloseKey(key);
    std::_Exit(failures == 0 ? 0 : 1);
}

TEST_F(RegistryStoreTest, AReadOnlyFileRefusesWritesAndStillReads) {
    if (::geteuid() == 0) ASSERT_EQ(0, ::chown(dir_.Path().c_str(), 65534, 65534));
    EXPECT_EXIT(CheckReadOnlyFile(dir_.Path().string()), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(0444u, Mode(dir_.File(std::string("ro/") + kDatabase)))
        << "the child made the file read-only";
}

TEST_F(RegistryStoreTest, AKeyRemovedByAnotherProcessRefusesEveryCall) {
    const struct {
        const char* name;
        const char* sql;
    } rows[] = {
        {"with its sub-keys and values",
         "PRAGMA foreign_keys = ON; DELETE FROM keys WHERE name = 'Gone'"},
        {"its row alone", "DELETE FROM keys WHERE name = 'Gone'"},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = UseConfig("r" + std::to_string(n++));
        Key child = nullptr;
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone\\Child", kAllAccess, &child));
        EXPECT_EQ(kSuccess, CloseKey(child));
        // Removed with its sub-key, Gone has the largest id: a reused id would be its.
        Key gone = nullptr;
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone", kAllAccess, &gone));
        ASSERT_EQ(kSuccess, Set(gone, "UserID", "me"));
        ASSERT_EQ("", Sql(file, row.sql));
        const std::string after_removal = Dump(file);

        EXPECT_EQ(kKeyDeleted, Set(gone, "UserID", "again"));
        EXPECT_EQ(kKeyDeleted, Set(gone, "Other", "new"));
        EXPECT_EQ(kKeyDeleted, DeleteValue(gone, "UserID"));
        EXPECT_EQ("<code 1018>", Get(gone, "UserID"));
        std::uint32_t count = 0;
        EXPECT_EQ(kKeyDeleted, CountSubkeys(gone, &count));
        Key key = nullptr;
        EXPECT_EQ(kKeyDeleted, OpenKey(gone, "", kRead, &key));
        EXPECT_EQ(kKeyDeleted, OpenKey(gone, "Child", kRead, &key));
        EXPECT_EQ(kKeyDeleted, CreateKey(gone, "New\\Deeper", kAllAccess, &key));
        EXPECT_EQ(after_removal, Dump(file)) << "no row written for the removed key";

        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone", kAllAccess, &key));
        EXPECT_EQ(kKeyDeleted, Set(gone, "UserID", "again")) << "a key made again is another key";
        EXPECT_EQ("<code 2>", Get(key, "UserID"));
        EXPECT_EQ(kSuccess, CloseKey(key));
        EXPECT_EQ(kSuccess, CloseKey(gone));
    }
}

TEST_F(RegistryStoreTest, AFileLockedByAnotherProcessCostsTheRunOneWait) {
    const std::string file = UseConfig("busy");
    Key key = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Quarlo", kAllAccess, &key));
    ASSERT_EQ(kSuccess, Set(key, "Kept", "before"));

    sqlite3* holder = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(file.c_str(), &holder, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
    posix::BusyWait& busy = posix::TheBusyWait();
    const posix::BusyWait saved = busy;
    busy = posix::BusyWait{20, false, 0};

    Key other = nullptr;
    EXPECT_NE(kSuccess, Set(key, "Kept", "during"));
    EXPECT_NE(kSuccess, CreateKey(kUser, "Software\\Quarlo\\Referrals", kAllAccess, &other));
    EXPECT_EQ("<code 1016>", Get(key, "Kept"));
    EXPECT_NE(kSuccess, Set(key, "New", "during"));
    const long waits = busy.waits;
    const bool gave_up = busy.gave_up;

    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(std::string("1:before\0", 9), Get(key, "Kept")) << "usable again once released";
    busy = saved;
    EXPECT_EQ(1, waits) << "only the first call waits";
    EXPECT_TRUE(gave_up);
    EXPECT_EQ(kSuccess, CloseKey(key));
}

}  // namespace
}  // namespace wbh::platform::registry
