// What only the SQLite registry has: a private file per user, never written when it is not ours,
// and texts stored without their NUL. The registry contract itself is RegKeyTest's.
#include "platform/posix/registry/registry_store.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
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
constexpr char kDatabase[] = "/webbook-helper/registry.db";

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

// Runs SQL on a registry file through a connection of its own, as another process would; ""
// when it ran.
std::string Sql(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        result = "<cannot open>";
    } else if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        result = "<error>";
    }
    sqlite3_close(db);
    return result;
}

mode_t Mode(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Each test has its own XDG_CONFIG_HOME.
class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStoreTest() { UseConfig("config"); }

    // Points XDG_CONFIG_HOME at `name` in the test's directory; returns its registry file.
    std::string UseConfig(const std::string& name) {
        setenv("XDG_CONFIG_HOME", dir_.File(name).c_str(), 1);
        return dir_.File(name) + kDatabase;
    }

    test::SavedEnvironment saved_{"XDG_CONFIG_HOME"};
    test::TempDir dir_;
};

// Which folder the file is in is UserFolders' test; here, that it and the file are private.
TEST_F(RegistryStoreTest, FileAndItsFoldersArePrivate) {
    const std::string file = UseConfig("xdg");
    Key key = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &key));
    EXPECT_EQ(kSuccess, CloseKey(key));
    EXPECT_EQ(0700u, Mode(dir_.File("xdg")));
    EXPECT_EQ(0700u, Mode(file.substr(0, file.rfind('/'))));
    EXPECT_EQ(0600u, Mode(file)) << "the file holds the reader's identifiers";
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

}  // namespace
}  // namespace wbh::platform::registry
