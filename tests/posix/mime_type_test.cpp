// The .7xe type in the shared MIME database, with a stand-in update-mime-database that records
// how it was started (the real one: tests/e2e/setup_test.sh).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/shell.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

const std::string kPackage = "/mime/packages/webbook-helper-7xe.xml";

// The tool comes only from PATH's absolute entries that name a program: the working folder may
// be the book's, with an update-mime-database of its own, which empty and relative entries name.
// Without PATH, it comes from the system's default path, as a shell would take it.
TEST(MimeType, RegisteredUnlessADatabaseKnowsTheGlob) {
    const struct {
        const char* path;       // PATH, unset when null; "@" is the row's folder, the working one
        const char* globs2;     // the user's, then after "|" the system's
        const char* data_home;  // XDG_DATA_HOME; "/..." below the row's folder
        bool registered;
        bool written;     // the package
        const char* ran;  // the folder of the stand-in that ran, or null
    } rows[] = {
        {"@bin", "50:text/plain:*.txt\n50:x/y:*.7XE:cs\n# 50:x/y:*.7xe\n", "data",
         true, true, "bin"},
        {"@bin", "50:x/y:*.7XE\n", "/data", true, false, nullptr},
        {"@bin", "50:x/y:*.7xe:w,cs", "/data", true, false, nullptr},
        {"@bin", "|50:x/y:*.7xe\n", "/data", true, false, nullptr},
        {"@bin", "", "/file", false, false, nullptr},  // no folder can be made there
        {":./rel:.:@bin:", "", "/data", true, true, "bin"},
        {"@folder:@bin", "", "/data", true, true, "bin"},
        {nullptr, "", "/data", true, true, nullptr},  // the system's tool
    };
    test::SavedEnvironment saved{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    const std::filesystem::path cwd = std::filesystem::current_path();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "PATH=" << (row.path ? row.path : "-") << row.globs2);
        test::TempDir dir;
        const std::string at = dir.File("");
        const std::string data_folder =
            row.data_home == std::string("/data") ? "data" : "home/.local/share";
        const std::string data = dir.File(data_folder);
        if (*row.globs2 != '\0') {
            const bool system = *row.globs2 == '|';
            dir.Write((system ? "system" : data_folder) + "/mime/globs2",
                      system ? row.globs2 + 1 : row.globs2);
        }
        dir.Write("file", "x");
        const std::string record = "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" " +
                                   std::string("\"$(/usr/bin/readlink /proc/$$/fd/1)\" >>'") +
                                   dir.File("ran") + "'\n";
        for (const std::string folder : {"bin/", "rel/", ""}) {
            dir.Write(folder + "update-mime-database", record, 0755);
        }
        std::filesystem::create_directories(dir.File("folder/update-mime-database"));
        std::string path = row.path ? row.path : "";
        for (std::size_t i; (i = path.find('@')) != std::string::npos;) path.replace(i, 1, at);
        row.path ? setenv("PATH", path.c_str(), 1) : unsetenv("PATH");
        setenv("HOME", dir.File("home").c_str(), 1);
        setenv("XDG_DATA_HOME",
               row.data_home[0] == '/' ? dir.File(row.data_home + 1).c_str() : row.data_home, 1);
        setenv("XDG_DATA_DIRS", dir.File("system").c_str(), 1);
        std::filesystem::current_path(dir.Path());
        EXPECT_EQ(row.registered, RegisterFileType());
        std::filesystem::current_path(cwd);
        EXPECT_EQ(row.written, std::filesystem::exists(data + kPackage));
        // Its output goes nowhere: it would mix with a terminal dialog's.
        EXPECT_EQ(row.ran ? at + row.ran + "/update-mime-database|" + data + "/mime|/dev/null|"
                          : "<missing>",
                  dir.Read("ran"));
        if (row.path == nullptr) {
            EXPECT_NE(std::string::npos,
                      dir.Read("data/mime/globs2").find(":application/x-7xe:*.7xe"));
        }
    }
}

// A tool that never ends is ended with what it started (which would write "survived"), and the
// package stays for the next rebuild. The FIFO ends only when every writer has gone.
TEST(MimeType, AToolThatNeverEndsIsEndedWithItsChildren) {
    test::SavedEnvironment saved{"XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    test::TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    // Opened first, so that the tool's open for writing does not wait for a reader.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    dir.Write("bin/update-mime-database",
              "#!/bin/sh\nPATH=/usr/bin:/bin\nexec 3>'" + fifo +
                  "'\nprintf started >&3\n"
                  "{ sleep 20; printf ' survived'; } >&3 &\nwhile :; do sleep 1; done\n",
              0755);
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    setenv("XDG_DATA_DIRS", dir.File("system").c_str(), 1);
    setenv("PATH", dir.File("bin").c_str(), 1);

    EXPECT_TRUE(RegisterFileType());
    EXPECT_TRUE(std::filesystem::exists(dir.File("data") + kPackage));
    ::fcntl(reader, F_SETFL, 0);
    std::FILE* fifo_in = ::fdopen(reader, "r");
    char heard[32] = "";
    std::fread(heard, 1, sizeof heard - 1, fifo_in);
    std::fclose(fifo_in);
    EXPECT_STREQ("started", heard);
}

}  // namespace
}  // namespace wbh::platform::shell
