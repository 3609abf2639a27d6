// The .7xe type in the shared MIME database: the package and the rebuild, unless a database
// already types *.7xe; a stand-in update-mime-database records its arguments. The real one is
// run by tests/e2e/setup_test.sh.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/shell.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

using Result = FileTypeRegistration;
const std::string kPackage = "/mime/packages/webbook-helper-7xe.xml";

TEST(MimeType, RegisteredUnlessADatabaseKnowsTheGlob) {
    const struct {
        std::string globs2;     // the user's, then after "|" the system's
        const char* data_home;  // XDG_DATA_HOME; "/..." below the test's folder
        bool tool;              // the stand-in on PATH (else none at all)
        Result result;
        bool written;  // the package (and then the tool run)
    } rows[] = {
        {"", "", true, Result::kRegistered, true},
        {"50:text/plain:*.txt\n50:x/y:*.7XE:cs\n# 50:x/y:*.7xe\n", "data", true,
         Result::kRegistered, true},
        {"50:x/y:*.7XE\n", "/data", true, Result::kRegistered, false},
        {"50:x/y:*.7xe:w,cs", "/data", true, Result::kRegistered, false},
        {"|50:x/y:*.7xe\n", "/data", true, Result::kRegistered, false},
        {"", "/data", false, Result::kRegistered, true},
        {"", "/file", true, Result::kFailed, false},  // no folder can be made there
    };
    test::SavedEnvironment saved{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.globs2 << row.data_home);
        test::TempDir dir;
        const auto put = [](const std::string& file, const std::string& text) {
            if (text.empty()) return;
            std::filesystem::create_directories(std::filesystem::path(file).parent_path());
            std::ofstream(file) << text;
        };
        const std::string data =
            dir.File(row.data_home == std::string("/data") ? "data" : "home/.local/share");
        const std::size_t bar = row.globs2.find('|');
        put((bar == std::string::npos ? data : dir.File("system")) + "/mime/globs2",
            row.globs2.substr(bar == std::string::npos ? 0 : bar + 1));
        put(dir.File("file"), "x");
        put(dir.File("bin/update-mime-database"),
            "#!/bin/sh\nprintf '%s|' \"$@\" >>'" + dir.File("args") + "'\n");
        chmod(dir.File("bin/update-mime-database").c_str(), 0755);
        setenv("HOME", dir.File("home").c_str(), 1);
        setenv("XDG_DATA_HOME",
               row.data_home[0] == '/' ? dir.File(row.data_home + 1).c_str() : row.data_home, 1);
        setenv("XDG_DATA_DIRS", dir.File("system").c_str(), 1);
        setenv("PATH", dir.File(row.tool ? "bin" : "none").c_str(), 1);
        EXPECT_EQ(row.result, RegisterFileType());
        EXPECT_EQ(row.written, std::filesystem::exists(data + kPackage));
        EXPECT_EQ(row.written && row.tool ? data + "/mime|" : "<missing>", dir.Read("args"));
    }
}

}  // namespace
}  // namespace wbh::platform::shell
