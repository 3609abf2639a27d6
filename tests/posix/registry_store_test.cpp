// What only the SQLite registry has: a file per user found through XDG_CONFIG_HOME or HOME, kept
// across runs, never written when it is not ours, shared with other processes that may remove a
// key, lock the file or make it read-only. The registry contract itself is RegKeyTest's.
#include "platform/posix/registry_store.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/registry.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::registry {
namespace {

const Key kUser = RootKey(Root::kCurrentUser);
const Key kClasses = RootKey(Root::kClassesRoot);
constexpr char kDatabase[] = "/webbook-helper/registry.db";

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

long Set(Key key, const char* name, const char* text) {
    return SetValue(key, name, kTypeString, Bytes(text),
                    static_cast<std::uint32_t>(std::strlen(text) + 1));
}

// The value as "type:bytes", or "<code N>".
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
        *text += (i > 0 ? "|" : "") + std::string(values[i] ? values[i] : "NULL");
    }
    *text += '\n';
    return 0;
}

// Runs SQL on a registry file through a connection of its own, as another process would; the
// rows come back as "a|b" lines.
std::string Sql(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    std::string rows;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        rows = "<cannot open>";
    } else if (sqlite3_exec(db, sql, AddRow, &rows, nullptr) != SQLITE_OK) {
        rows += "<error>";
    }
    sqlite3_close(db);
    return rows;
}

mode_t Mode(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Each test has its own XDG_CONFIG_HOME and HOME.
class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest() { UseConfig("config"); }

    // Points XDG_CONFIG_HOME at `name` in the test's directory; returns its registry file.
    std::string UseConfig(const std::string& name) {
        setenv("XDG_CONFIG_HOME", dir_.File(name).c_str(), 1);
        return dir_.File(name) + kDatabase;
    }

    test::SavedEnvironment saved_{"XDG_CONFIG_HOME", "HOME"};
    test::TempDir dir_;
};

TEST_F(RegistryStoreTest, FileIsFoundThroughXdgConfigHomeOrHomeInPrivateDirectories) {
    const struct {
        const char* xdg;   // null: unset; "@": the row's own absolute directory
        const char* made;  // the directory made for the registry, below the row's directory
    } rows[] = {{"@", "xdg"}, {nullptr, "home/.config"}, {"relative", "home/.config"}};
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
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &key));
        EXPECT_EQ(kSuccess, CloseKey(key));
        const std::string file = base + "/" + row.made + kDatabase;
        EXPECT_EQ(0700u, Mode(base + "/" + row.made));
        EXPECT_EQ(0700u, Mode(file.substr(0, file.rfind('/'))));
        EXPECT_EQ(0600u, Mode(file)) << "the file holds the reader's identifiers";
    }
    EXPECT_FALSE(std::filesystem::exists("relative")) << "a relative XDG_CONFIG_HOME is ignored";
}

TEST_F(RegistryStoreTest, KeepsNamesAsFirstWrittenAndHandlesToTheirOwnFile) {
    const std::string file = UseConfig("a");
    Key book = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Quarlo\\Book\\\xC9t\xE9", kAllAccess, &book));
    EXPECT_EQ(kSuccess, CloseKey(book));
    ASSERT_EQ(kSuccess, CreateKey(kUser, "SOFTWARE\\quarlo\\BOOK\\\xE9t\xE9", kAllAccess, &book));
    EXPECT_EQ(kSuccess, Set(book, "UserID", "first"));
    EXPECT_EQ(kSuccess, SetValue(book, "USERID", kTypeBinary, Bytes("xyz"), 3));
    EXPECT_EQ(kSuccess, Set(book, nullptr, ""));
    // Bytes above 0x7F are the program's own and are not folded.
    EXPECT_EQ("3|1|Software\n4|3|Quarlo\n5|4|Book\n6|5|C974E9\n7|5|E974E9\n",
              Sql(file, "SELECT id, parent, iif(id > 5, hex(name), name) FROM keys WHERE id > 2"));
    EXPECT_EQ("7||1|00\n7|UserID|3|78797A\n",
              Sql(file, "SELECT key, name, type, hex(data) FROM key_values ORDER BY name"));

    UseConfig("b");
    EXPECT_EQ(kKeyDeleted, Set(book, "UserID", "lost")) << "the id of a key in another file";
    Key other = nullptr;
    EXPECT_EQ(kFileNotFound, OpenKey(kUser, "Software", kRead, &other));
    UseConfig("a");
    EXPECT_EQ("3:xyz", Get(book, "userid")) << "the handle works again in its own file";
    EXPECT_EQ(kSuccess, CloseKey(book));
}

// A text stored without its NUL gets one when there is room; data needs a size to go with it.
TEST_F(RegistryStoreTest, QueryValueEndsTextsAndNeedsASizeForData) {
    ASSERT_EQ(kSuccess, SetValue(kUser, "text", kTypeString, Bytes("abc"), 3));
    ASSERT_EQ(kSuccess, SetValue(kUser, "binary", kTypeBinary, Bytes("abc"), 3));
    const struct {
        const char* name;
        std::uint32_t room;  // 0: no data buffer
        bool size;           // whether a size is given
        long result;
        const char* buffer;  // its 5 bytes afterwards
    } rows[] = {
        {"text", 5, true, kSuccess, "abc\0#"},  {"text", 3, true, kSuccess, "abc##"},
        {"binary", 5, true, kSuccess, "abc##"}, {"text", 5, false, kInvalidParameter, "#####"},
        {"text", 0, false, kSuccess, "#####"},
    };
    for (const auto& row : rows) {
        std::uint8_t buffer[] = "#####";
        std::uint32_t type = 0;
        std::uint32_t size = row.room;
        EXPECT_EQ(row.result, QueryValue(kUser, row.name, &type, row.room ? buffer : nullptr,
                                         row.size ? &size : nullptr));
        EXPECT_EQ(std::string(row.buffer, 5), std::string(reinterpret_cast<char*>(buffer), 5));
    }
}

TEST_F(RegistryStoreTest, AFileThatIsNoRegistryIsNeverWritten) {
    const std::string newer = UseConfig("newer");
    Key made = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &made));
    EXPECT_EQ(kSuccess, CloseKey(made));
    ASSERT_EQ("", Sql(newer, "PRAGMA user_version = 2"));
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;  // makes it at the registry's path
    } rows[] = {
        {"text", [](const std::string& file) { std::ofstream(file) << "[keys]\nnot sqlite\n"; }},
        {"another program's database",
         [](const std::string& file) {
             std::ofstream(file).close();
             Sql(file, "CREATE TABLE keys (x); INSERT INTO keys VALUES (1)");
         }},
        {"a later version", [&](const std::string& file) { std::filesystem::copy(newer, file); }},
        {"a directory", [](const std::string& file) { std::filesystem::create_directory(file); }},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string config = "c" + std::to_string(n++);
        const std::string file = UseConfig(config);
        std::filesystem::create_directories(file.substr(0, file.rfind('/')));
        row.make(file);
        const std::string before = dir_.Read(config + kDatabase);
        Key key = nullptr;
        EXPECT_EQ(kBadDatabase, CreateKey(kUser, "Software", kAllAccess, &key));
        EXPECT_EQ(before, dir_.Read(config + kDatabase)) << "left as it was";
    }
}

// Run in a child process, as "nobody" when the tests run as root (root may write any file).
void CheckReadOnlyFile(const std::string& base) {
    if (::geteuid() == 0) {
        ASSERT_EQ(0, ::setgroups(0, nullptr));
        ASSERT_EQ(0, ::setgid(65534));
        ASSERT_EQ(0, ::setuid(65534));
    }
    setenv("XDG_CONFIG_HOME", (base + "/ro").c_str(), 1);
    Key key = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Quarlo", kAllAccess, &key));
    ASSERT_EQ(kSuccess, Set(key, "UserID", "kept"));
    ASSERT_EQ(0, ::chmod((base + "/ro" + kDatabase).c_str(), 0444));
    setenv("XDG_CONFIG_HOME", (base + "/elsewhere").c_str(), 1);
    EXPECT_EQ(kSuccess, CountSubkeys(kUser, nullptr)) << "the first file's connection closed";
    setenv("XDG_CONFIG_HOME", (base + "/ro").c_str(), 1);

    EXPECT_EQ(kAccessDenied, Set(key, "UserID", "new"));
    Key child = nullptr;
    EXPECT_EQ(kSuccess, CreateKey(kUser, "software\\quarlo", kRead, &child)) << "it exists";
    EXPECT_EQ(std::string("1:kept\0", 7), Get(child, "UserID"));
}

TEST_F(RegistryStoreTest, AReadOnlyFileRefusesWritesAndStillReads) {
    if (::geteuid() == 0) ASSERT_EQ(0, ::chown(dir_.Path().c_str(), 65534, 65534));
    EXPECT_EXIT(
        {
            CheckReadOnlyFile(dir_.Path().string());
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(RegistryStoreTest, AKeyRemovedByAnotherProcessRefusesEveryCall) {
    // Removed with what is below it, or its row alone.
    const char* const removals[] = {
        "PRAGMA foreign_keys = ON; DELETE FROM keys WHERE name = 'Gone'",
        "DELETE FROM keys WHERE name = 'Gone'",
    };
    int n = 0;
    for (const char* removal : removals) {
        SCOPED_TRACE(removal);
        const std::string file = UseConfig("r" + std::to_string(n++));
        Key gone = nullptr;
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone\\Child", kAllAccess, &gone));
        EXPECT_EQ(kSuccess, CloseKey(gone));
        // Removed with its sub-key, Gone has the largest id: a reused id would be its.
        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone", kAllAccess, &gone));
        ASSERT_EQ(kSuccess, Set(gone, "UserID", "me"));
        ASSERT_EQ("", Sql(file, removal));
        const char* dump = "SELECT * FROM keys; SELECT key, name FROM key_values";
        const std::string after_removal = Sql(file, dump);

        EXPECT_EQ(kKeyDeleted, Set(gone, "UserID", "again"));
        EXPECT_EQ(kKeyDeleted, DeleteValue(gone, "UserID"));
        EXPECT_EQ("<code 1018>", Get(gone, "UserID"));
        std::uint32_t count = 0;
        EXPECT_EQ(kKeyDeleted, CountSubkeys(gone, &count));
        Key key = nullptr;
        EXPECT_EQ(kKeyDeleted, OpenKey(gone, "Child", kRead, &key));
        EXPECT_EQ(kKeyDeleted, CreateKey(gone, "New\\Deeper", kAllAccess, &key));
        EXPECT_EQ(after_removal, Sql(file, dump)) << "no row written for the removed key";

        ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\Gone", kAllAccess, &key));
        EXPECT_EQ(kKeyDeleted, Set(gone, "UserID", "again")) << "a key made again is another key";
        EXPECT_EQ(kSuccess, CloseKey(key));
        EXPECT_EQ(kSuccess, CloseKey(gone));
    }
}

TEST_F(RegistryStoreTest, AFileLockedByAnotherProcessCostsTheRunOneWait) {
    const std::string file = UseConfig("busy");
    Key key = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &key));
    ASSERT_EQ(kSuccess, Set(key, "Kept", "before"));
    sqlite3* holder = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(file.c_str(), &holder, SQLITE_OPEN_READWRITE, nullptr));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
    posix::BusyWait& busy = posix::TheBusyWait();
    const posix::BusyWait saved = busy;
    busy = posix::BusyWait{20, false, 0};

    Key other = nullptr;
    EXPECT_EQ(kIoFailed, Set(key, "Kept", "during"));
    EXPECT_EQ(kIoFailed, CreateKey(kUser, "Software\\New", kAllAccess, &other));
    EXPECT_EQ("<code 1016>", Get(key, "Kept"));
    const posix::BusyWait seen = busy;
    sqlite3_close(holder);
    EXPECT_EQ(std::string("1:before\0", 9), Get(key, "Kept")) << "usable again once released";
    busy = saved;
    EXPECT_EQ(1, seen.waits) << "only the first call waits";
    EXPECT_TRUE(seen.gave_up);
    EXPECT_EQ(kSuccess, CloseKey(key));
}

}  // namespace
}  // namespace wbh::platform::registry
