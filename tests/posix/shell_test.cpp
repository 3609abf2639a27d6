// The POSIX shell: the XDG desktop, shortcuts never written over a file, xdg-open not waited for.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/portable/fault.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

using test::SavedEnvironment;

TEST(PosixShell, DesktopDirectoryComesFromUserDirs) {
    SavedEnvironment saved{"HOME", "XDG_CONFIG_HOME"};
    test::TempDir dir;
    const std::string home = dir.File("home");
    setenv("HOME", home.c_str(), 1);
    const struct Row {
        const char* user_dirs;  // null: no file
        bool under_home;        // the file in $HOME/.config, XDG_CONFIG_HOME relative: ignored
        std::string expected;
    } rows[] = {
        {nullptr, false, home + "/Desktop"},
        {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", true, home + "/Bureau"},
        {"# xdg-user-dirs\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n  XDG_DESKTOP_DIR = \"/srv/desk/\" # x\n",
         false, "/srv/desk"},
        {"XDG_DESKTOP_DIR=\"$HOME/Mon \\\"Bureau\\\"\"\n", false, home + "/Mon \"Bureau\""},
        // Malformed lines are skipped; the last valid one wins.
        {"XDG_DESKTOP_DIR=\"$HOME/A\"\nXDG_DESKTOP_DIR=\"Relative\"\n"
         "XDG_DESKTOP_DIR=$HOME/Unquoted\nXDG_DESKTOP_DIR=\"$HOMEX/B\"\n"
         "XDG_DESKTOP_DIRS=\"/c\"\nXDG_DESKTOP_DIR=\"/open\n",
         false, home + "/A"},
        {"XDG_DESKTOP_DIR=\"Relative\"\n", false, home + "/Desktop"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.user_dirs ? row.user_dirs : "(no file)");
        std::filesystem::remove_all(dir.File("config"));
        std::filesystem::remove_all(home);
        const std::string config = row.under_home ? home + "/.config" : dir.File("config");
        std::filesystem::create_directories(config);
        setenv("XDG_CONFIG_HOME", row.under_home ? "config" : config.c_str(), 1);
        if (row.user_dirs) std::ofstream(config + "/user-dirs.dirs") << row.user_dirs;
        char buffer[260] = "garbage";
        EXPECT_EQ(0, DesktopDirectory(buffer, sizeof buffer));
        EXPECT_EQ(row.expected, buffer);
    }
    // A buffer one byte short, or no HOME: a failure with an empty text.
    const std::string expected = home + "/Desktop";
    char buffer[260];
    EXPECT_EQ(0, DesktopDirectory(buffer, static_cast<int>(expected.size() + 1)));
    std::strcpy(buffer, "garbage");
    EXPECT_LT(DesktopDirectory(buffer, static_cast<int>(expected.size())), 0);
    EXPECT_STREQ("", buffer);
    unsetenv("HOME");
    std::strcpy(buffer, "garbage");
    EXPECT_LT(DesktopDirectory(buffer, sizeof buffer), 0);
    EXPECT_STREQ("", buffer);
}

TEST(PosixShell, SaveNeverReplacesAFile) {
    test::TempDir dir;
    const std::string file = dir.Write("livre.lnk", "someone else's");
    HResult result = 1;
    std::unique_ptr<ShellLink> link = CreateShellLink(&result);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(0, result);
    link->SetPath("/tmp/livre/index.html");
    EXPECT_LT(link->Save(file.c_str()), 0);
    EXPECT_EQ("someone else's", dir.Read("livre.lnk"));
    EXPECT_LT(link->Save(dir.File("livre\x1b[31m.lnk").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("livre\x1b[31m.lnk")));
}

// Puts an "xdg-open" running `script` first on PATH.
void UseOpener(const test::TempDir& dir, const std::string& script, const char* path) {
    dir.Write("xdg-open", "#!/bin/sh\n" + script);
    ::chmod(dir.File("xdg-open").c_str(), 0755);
    setenv("PATH", (dir.Path().string() + ":" + path).c_str(), 1);
}

TEST(PosixShell, OpenWithShellStartsXdgOpenAndDoesNotWait) {
    SavedEnvironment saved{"PATH"};
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    test::TempDir dir;
    // The opener writes into a FIFO that is read only once the call is back: a call that
    // waited for the opener would never come back.
    const std::string record = dir.File("record");
    ASSERT_EQ(0, ::mkfifo(record.c_str(), 0600));
    UseOpener(dir, "{ printf '%s\\n' \"$#\" \"$1\"; readlink /proc/self/fd/0; } >" + record,
              path.c_str());
    // A shell would split at the blank, expand $HOME and stop at the semicolon.
    const std::string book = dir.File("mon livre \"l'été\" $HOME;x.html");
    ASSERT_TRUE(OpenWithShell(book.c_str()));
    EXPECT_EQ("1\n" + book + "\n/dev/null\n", dir.Read("record"));
    EXPECT_FALSE(OpenWithShell(""));
    EXPECT_FALSE(OpenWithShell(nullptr));
    fault::FailCall("ShellExecute");
    EXPECT_FALSE(OpenWithShell(book.c_str()));
    fault::Reset();
    setenv("PATH", dir.File("none").c_str(), 1);
    EXPECT_FALSE(OpenWithShell(book.c_str())) << "no xdg-open";
}

}  // namespace
}  // namespace wbh::platform::shell
