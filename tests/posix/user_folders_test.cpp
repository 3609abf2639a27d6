// One home and XDG folders for the registry file, the desktop and the MIME package, absolute
// only. Each row runs from a working folder of its own, where nothing may appear.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

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

TEST(UserFolders, EveryCallerTakesAbsolutePathsOnlyAndThePasswordHome) {
    const struct passwd* entry = ::getpwuid(::getuid());
    const std::string password =  // the password database's home for this user, or ""
        entry && entry->pw_dir && entry->pw_dir[0] == '/' ? entry->pw_dir : "";
    // Values: null unset; "@name" the row's folder of that name; anything else as written.
    // Expected paths: "@" as above, "~" the password database's home; "" a failure.
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
    test::SavedEnvironment saved{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                 "PATH"};
    const std::filesystem::path cwd = std::filesystem::current_path();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        test::TempDir dir;
        std::filesystem::create_directory(dir.File("cwd"));
        std::filesystem::current_path(dir.File("cwd"));
        const auto expand = [&](const std::string& text) {
            if (text.empty()) return text;
            if (text[0] == '@') return dir.File(text.substr(1));
            if (text[0] == '~') return password.empty() ? "" : password + text.substr(1);
            return text;
        };
        const auto set = [&](const char* name, const char* value) {
            value ? setenv(name, expand(value).c_str(), 1) : unsetenv(name);
        };
        set("HOME", row.home);
        set("XDG_CONFIG_HOME", row.config);
        set("XDG_DATA_HOME", row.config);  // where the package goes: MimeType
        setenv("XDG_DATA_DIRS", dir.File("system").c_str(), 1);
        setenv("PATH", dir.File("bin").c_str(), 1);  // no update-mime-database
        dir.Write("config/user-dirs.dirs", row.user_dirs);
        if (row.no_password_home) fault::FailCall("getpwuid_r");

        const std::string registry = expand(row.registry);
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

}  // namespace
}  // namespace wbh::platform::shell
