// What only the SQLite registry has: a private file per user, never written when it is not ours.
// The registry contract itself is RegKeyTest's.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/registry.h"
#include "support/fault_injection.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::registry {
namespace {

const Key kUser = RootKey(Root::kCurrentUser);

// Runs SQL on a registry file through a connection of its own, as another process would: the
// first column of the last row it gave, "" when it ran and gave none.
std::string Sql(const std::string& file, const char* sql) {
    sqlite3* db = nullptr;
    std::string result;
    const auto take = [](void* to, int, char** values, char**) {
        *static_cast<std::string*>(to) = values[0] != nullptr ? values[0] : "NULL";
        return 0;
    };
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql, take, &result, nullptr) != SQLITE_OK) {
        result = "<error>";
    }
    sqlite3_close(db);
    return result;
}

unsigned Mode(const std::string& path) {
    return static_cast<unsigned>(std::filesystem::status(path).permissions());
}

class RegistryStoreTest : public ::testing::Test {
protected:
    // Returns the registry file.
    std::string UseConfig(const std::string& name) {
        setenv("XDG_CONFIG_HOME", dir_.File(name).c_str(), 1);
        return dir_.File(name) + "/webbook-helper/registry.db";
    }

    test::SavedEnvironment saved_{"XDG_CONFIG_HOME"};
    test::TempDir dir_;
};

// (Which folder is UserFolders' test.) A file put at its name meanwhile (a backup brought back)
// gets the next key; a file there that is no registry of this version is left as it is.
TEST_F(RegistryStoreTest, FileIsPrivateAndOnlyOursIsWritten) {
    const std::string newer = UseConfig("newer");
    Key key = nullptr;
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software", kAllAccess, &key));
    EXPECT_EQ(kSuccess, CloseKey(key));
    EXPECT_EQ(0700u, Mode(dir_.File("newer")));
    EXPECT_EQ(0700u, Mode(newer.substr(0, newer.rfind('/'))));
    EXPECT_EQ(0600u, Mode(newer)) << "the file holds the reader's identifiers";
    std::filesystem::copy(newer, newer + ".backup");
    std::filesystem::rename(newer + ".backup", newer);
    ASSERT_EQ(kSuccess, CreateKey(kUser, "Software\\After", kAllAccess, &key));
    EXPECT_EQ(kSuccess, CloseKey(key));
    EXPECT_EQ("1", Sql(newer, "SELECT count(*) FROM keys WHERE name = 'After'"));
    ASSERT_EQ("", Sql(newer, "PRAGMA user_version = 2"));
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;  // makes it at the registry's path
    } rows[] = {
        {"text", [](const std::string& file) { std::ofstream(file) << "[keys]\nnot sqlite\n"; }},
        {"another program's database",
         [](const std::string& file) {
             Sql(file, "CREATE TABLE keys (x); INSERT INTO keys VALUES (1)");
         }},
        {"a later version", [&](const std::string& file) { std::filesystem::copy(newer, file); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string file = UseConfig(row.name);
        std::filesystem::create_directories(file.substr(0, file.rfind('/')));
        row.make(file);
        const std::string before = dir_.Read(file);
        EXPECT_EQ(kBadDatabase, CreateKey(kUser, "Software", kAllAccess, &key));
        EXPECT_EQ(before, dir_.Read(file)) << "left as it was";
    }
}

// Its folder or its file refused (EACCES): the key is refused, and no file is left behind.
TEST_F(RegistryStoreTest, AStoreThatCannotBeMadeTellsWhy) {
    for (const char* refused : {"mkdir", "open"}) {
        SCOPED_TRACE(refused);
        const std::string file = UseConfig(refused);
        Key key = nullptr;
        fault::FailCall(refused);
        EXPECT_EQ(kAccessDenied, CreateKey(kUser, "Software", kAllAccess, &key));
        fault::Reset();
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

}  // namespace
}  // namespace wbh::platform::registry
