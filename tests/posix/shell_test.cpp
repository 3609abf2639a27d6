// The POSIX shell: the desktop found through the XDG user directories, shortcut files read
// back by an independent reader (lnkinfo), and xdg-open started with the path as its one
// argument, without a shell and without waiting for it.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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
        bool under_home;        // the file in $HOME/.config, XDG_CONFIG_HOME unset
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
        if (row.under_home) {
            unsetenv("XDG_CONFIG_HOME");
        } else {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        }
        if (row.user_dirs) std::ofstream(config + "/user-dirs.dirs") << row.user_dirs;
        char buffer[260] = "garbage";
        EXPECT_EQ(0, DesktopDirectory(buffer, sizeof buffer));
        EXPECT_EQ(row.expected, buffer);
    }
}

TEST(PosixShell, DesktopDirectoryFailsWithAnEmptyBuffer) {
    SavedEnvironment saved{"HOME", "XDG_CONFIG_HOME"};
    test::TempDir dir;
    setenv("HOME", dir.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.File("none").c_str(), 1);
    const std::string expected = dir.File("Desktop");

    char buffer[260] = "garbage";
    EXPECT_EQ(0, DesktopDirectory(buffer, static_cast<int>(expected.size() + 1)));
    EXPECT_EQ(expected, buffer);
    std::strcpy(buffer, "garbage");
    EXPECT_LT(DesktopDirectory(buffer, static_cast<int>(expected.size())), 0);
    EXPECT_STREQ("", buffer);

    unsetenv("HOME");
    std::strcpy(buffer, "garbage");
    EXPECT_LT(DesktopDirectory(buffer, sizeof buffer), 0);
    EXPECT_STREQ("", buffer);
}

// lnkinfo's report of the file, or "" when it could not be run.
std::string LnkInfo(const std::string& file) {
    std::string report;
    std::FILE* pipe = ::popen(("lnkinfo '" + file + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) return report;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) report.append(chunk, n);
    ::pclose(pipe);
    return report;
}

// The value of a "\tName\t\t: value" line of the report, or null when there is none.
std::optional<std::string> Field(const std::string& report, const std::string& name) {
    const std::size_t at = report.find("\t" + name + "\t");
    if (at == std::string::npos) return std::nullopt;
    const std::size_t value = report.find(": ", at) + 2;
    return report.substr(value, report.find('\n', value) - value);
}

TEST(PosixShell, ShortcutsAreReadBackByLnkinfo) {
    ASSERT_EQ(0, ::access("/usr/bin/lnkinfo", X_OK))
        << "lnkinfo is missing: install the Debian package liblnk-utils";
    test::TempDir dir;
    const std::string target = "/tmp/livres/mon livre é/index.html";
    const struct {
        const char* name;
        const char* icon;  // null: never set
    } rows[] = {{"with-icon.lnk", "/tmp/livres/mon livre é/icone.ico"}, {"plain.lnk", nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HResult result = 1;
        std::unique_ptr<ShellLink> link = CreateShellLink(&result);
        ASSERT_NE(nullptr, link);
        EXPECT_EQ(0, result);
        link->SetPath(target.c_str());
        if (row.icon) link->SetIconLocation(row.icon, 0);
        ASSERT_EQ(0, link->Save(dir.File(row.name).c_str()));

        const std::string report = LnkInfo(dir.File(row.name));
        EXPECT_EQ(target, Field(report, "Local path").value_or("<none>")) << report;
        EXPECT_EQ("Fixed (3)", Field(report, "Drive type").value_or("<none>")) << report;
        EXPECT_EQ(row.icon ? std::optional<std::string>(row.icon) : std::nullopt,
                  Field(report, "Icon location"))
            << report;
    }
}

TEST(PosixShell, SaveNeverReplacesAFile) {
    test::TempDir dir;
    const std::string file = dir.Write("livre.lnk", "someone else's");
    HResult result = 1;
    std::unique_ptr<ShellLink> link = CreateShellLink(&result);
    ASSERT_NE(nullptr, link);
    link->SetPath("/tmp/livre/index.html");
    EXPECT_LT(link->Save(file.c_str()), 0);
    EXPECT_EQ("someone else's", dir.Read("livre.lnk"));
    EXPECT_LT(link->Save(dir.File("missing/livre.lnk").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
    EXPECT_LT(link->Save(dir.File("livre\x1b[31m.lnk").c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("livre\x1b[31m.lnk")));
}

// A directory holding an "xdg-open" that waits for the file `record`.go, then records its
// arguments and standard input in `record`, written whole by a rename. After a minute without
// that file it records that it gave up, and goes on.
std::string RecordingOpener(const test::TempDir& dir, const std::string& record) {
    const std::string bin = dir.File("bin");
    std::filesystem::create_directory(bin);
    dir.Write("bin/xdg-open", "#!/bin/sh\nr='" + record + "'\n" + R"(i=0
while [ ! -e "$r.go" ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i + 1)); done
{ [ -e "$r.go" ] || echo 'gave up waiting'
  printf '%s\n' "$#" "$1"; readlink /proc/self/fd/0; } >"$r.part"
mv "$r.part" "$r"
)");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    return bin;
}

TEST(PosixShell, OpenWithShellStartsXdgOpenAndDoesNotWait) {
    SavedEnvironment saved{"PATH"};
    const char* path = std::getenv("PATH");
    test::TempDir dir;
    const std::string record = dir.File("record");
    const std::string bin = RecordingOpener(dir, record);
    setenv("PATH", (bin + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);

    // A shell would split at the blank, expand $HOME and stop at the semicolon.
    const std::string book = dir.File("mon livre \"l'été\" $HOME;x.html");
    EXPECT_TRUE(OpenWithShell(book.c_str()));
    // Only now may the opener go on: had the call waited for it, it would have given up.
    dir.Write("record.go", "");
    for (int i = 0; i < 1200 && !std::filesystem::exists(record); ++i) ::usleep(100000);
    EXPECT_EQ("1\n" + book + "\n/dev/null\n", dir.Read("record"));
}

TEST(PosixShell, OpenWithShellFailsWithoutAnOpener) {
    SavedEnvironment saved{"PATH"};
    test::TempDir dir;
    setenv("PATH", dir.Path().c_str(), 1);
    EXPECT_FALSE(OpenWithShell(dir.File("index.html").c_str()));

    const std::string bin = RecordingOpener(dir, dir.File("record"));
    setenv("PATH", bin.c_str(), 1);
    EXPECT_FALSE(OpenWithShell(""));
    EXPECT_FALSE(OpenWithShell(nullptr));
    fault::Reset();
    fault::FailCall("ShellExecute");
    EXPECT_FALSE(OpenWithShell(dir.File("index.html").c_str()));
    fault::Reset();
}

}  // namespace
}  // namespace wbh::platform::shell
