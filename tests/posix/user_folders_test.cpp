// Where the program finds the user's folders and tools: one home and absolute XDG folders for
// the registry file, the desktop and the MIME package; update-mime-database (here a stand-in, the
// real one: tests/e2e/setup_test.sh) from PATH. Each row runs in a fresh folder, "@" in values.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/posix/registry/registry_store.h"
#include "platform/shell.h"
#include "support/fault_injection.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

const std::string kPackage = "/mime/packages/webbook-helper-7xe.xml";

std::string Expand(const test::TempDir& dir, std::string text) {
    for (std::size_t i; (i = text.find('@')) != std::string::npos;)
        text.replace(i, 1, dir.File(""));
    return text;
}

// Unset when null.
void Set(const test::TempDir& dir, const char* name, const char* value) {
    value ? setenv(name, Expand(dir, value).c_str(), 1) : unsetenv(name);
}

TEST(UserFolders, EveryCallerTakesAbsolutePathsOnlyAndThePasswordHome) {
    const struct passwd* entry = ::getpwuid(::getuid());
    const std::string password =  // the password database's home for this user, or ""
        entry && entry->pw_dir && entry->pw_dir[0] == '/' ? entry->pw_dir : "";
    // Expected paths: "~" the password database's home; "" a failure.
    const struct Row {
        const char *home, *config;
        bool no_password_home;  // the password database fails
        std::string registry, desktop;
        const char* user_dirs = "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n";  // in @config
    } rows[] = {
        {"@home", "rel/config", false, "@home/.config", "@home/Desktop"},
        {"rel/home", "@config", false, "@config", "~/Bureau"},
        {"rel/home", "rel/config", true, "", ""},
        {nullptr, nullptr, true, "", ""},
        {"@home", nullptr, true, "@home/.config", "@home/Desktop"},
        // How the user directories file's lines are read; malformed ones are skipped, and the
        // last valid one wins.
        {"@home", "@config", false, "@config", "/srv/desk",
         "# xdg-user-dirs\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n"
         "  XDG_DESKTOP_DIR = \"/srv/desk/\" # x\n"},
        {"@home", "@config", false, "@config", "@home/Mon \"Bureau\"",
         "XDG_DESKTOP_DIR=\"$HOME/Mon \\\"Bureau\\\"\"\n"},
        {"@home", "@config", false, "@config", "@home/A",
         "XDG_DESKTOP_DIR=\"$HOME/A\"\nXDG_DESKTOP_DIR=\"Relative\"\n"
         "XDG_DESKTOP_DIR=$HOME/Unquoted\nXDG_DESKTOP_DIR=\"$HOMEX/B\"\n"
         "XDG_DESKTOP_DIRS=\"/c\"\n \t \nXDG_DESKTOP_DIR=\"/open\n"},
    };
    test::SavedEnvironment env{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    const std::filesystem::path cwd = std::filesystem::current_path();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        test::TempDir dir;
        std::filesystem::create_directory(dir.File("cwd"));
        std::filesystem::current_path(dir.File("cwd"));
        const auto expand = [&](const std::string& text) {
            if (text[0] != '~') return Expand(dir, text);
            return password.empty() ? "" : password + text.substr(1);
        };
        Set(dir, "HOME", row.home);
        Set(dir, "XDG_CONFIG_HOME", row.config);
        Set(dir, "XDG_DATA_HOME", row.config);  // where the package goes
        Set(dir, "XDG_DATA_DIRS", "@system");
        Set(dir, "PATH", "@bin");  // no update-mime-database
        dir.Write("config/user-dirs.dirs", row.user_dirs);
        if (row.no_password_home) fault::FailCall("getpwuid_r");

        const std::string registry = Expand(dir, row.registry);
        EXPECT_EQ(registry.empty() ? "" : registry + "/webbook-helper/registry.db",
                  posix::RegistryFilePath());
        char desktop[260] = "garbage";
        const HResult located = DesktopDirectory(desktop, sizeof desktop);
        EXPECT_EQ(expand(row.desktop), desktop);
        EXPECT_EQ(!row.desktop.empty(), located >= 0);
        if (located >= 0) {  // a buffer one byte short: a failure with an empty text
            const int size = static_cast<int>(std::strlen(desktop));
            EXPECT_EQ(0, DesktopDirectory(desktop, size + 1));
            EXPECT_LT(DesktopDirectory(desktop, size), 0);
            EXPECT_STREQ("", desktop);
        }
        EXPECT_EQ(!registry.empty(), RegisterFileType());
        fault::Reset();
        std::filesystem::current_path(cwd);
        EXPECT_TRUE(std::filesystem::is_empty(dir.File("cwd")))
            << "nothing below the working folder";
    }
}

// The tool comes only from PATH's absolute entries that name a program: the working folder may
// be the book's, with an update-mime-database of its own, which empty and relative entries name.
// Without PATH, it comes from the system's default path, as a shell would take it.
TEST(MimeType, RegisteredUnlessADatabaseKnowsTheGlob) {
    const struct {
        const char* path;       // "@" is also the working folder
        const char* globs2;     // the user's, then after "|" the system's
        const char* data_home;  // XDG_DATA_HOME
        bool registered;
        bool written;  // the package
        bool ran;      // the stand-in in @bin (no other)
    } rows[] = {
        {"@bin", "50:text/plain:*.txt\n50:x/y:*.7XE:cs\n# 50:x/y:*.7xe\n", "data", true, true,
         true},
        {"@bin", "50:x/y:*.7XE\n", "@data", true, false, false},
        {"@bin", "50:x/y:*.7xe:w,cs", "@data", true, false, false},
        {"@bin", "|50:x/y:*.7xe\n", "@data", true, false, false},
        {"@bin", "", "@file", false, false, false},  // no folder can be made there
        {":./rel:.:@bin:", "", "@data", true, true, true},
        {"@folder:@bin", "", "@data", true, true, true},
        {nullptr, "", "@data", true, true, false},  // the system's tool
    };
    test::SavedEnvironment saved{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    const std::filesystem::path cwd = std::filesystem::current_path();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "PATH=" << (row.path ? row.path : "-") << row.globs2);
        test::TempDir dir;
        const std::string data_folder =
            row.data_home == std::string("@data") ? "data" : "home/.local/share";
        const std::string data = dir.File(data_folder);
        if (*row.globs2 != '\0') {
            const bool system = *row.globs2 == '|';
            dir.Write((system ? "system" : data_folder) + "/mime/globs2",
                      system ? row.globs2 + 1 : row.globs2);
        }
        dir.Write("file", "x");
        const std::string record =
            "#!/bin/sh\nprintf '%s|' \"$0\" \"$@\" \"$(/usr/bin/readlink /proc/$$/fd/1)\" >>'" +
            dir.File("ran") + "'\n";
        for (const std::string folder : {"bin/", "rel/", ""})
            dir.Write(folder + "update-mime-database", record, 0755);
        std::filesystem::create_directories(dir.File("folder/update-mime-database"));
        Set(dir, "PATH", row.path);
        Set(dir, "HOME", "@home");
        Set(dir, "XDG_DATA_HOME", row.data_home);
        Set(dir, "XDG_DATA_DIRS", "@system");
        std::filesystem::current_path(dir.Path());
        EXPECT_EQ(row.registered, RegisterFileType());
        std::filesystem::current_path(cwd);
        EXPECT_EQ(row.written, std::filesystem::exists(data + kPackage));
        // Its output goes nowhere: it would mix with a terminal dialog's.
        EXPECT_EQ(row.ran ? dir.File("bin/update-mime-database") + "|" + data + "/mime|/dev/null|"
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
              "#!/bin/sh\nPATH=/usr/bin:/bin\nexec 3>'" + fifo + "'\nprintf started >&3\n" +
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
