// The POSIX INI writer keeps every byte it does not own; files are replaced through links and
// keep their mode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/files.h"
#include "platform/ini.h"
#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

// What is in the folder: names, and "@" after a link.
std::set<std::string> Listing(const test::TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string() + (entry.is_symlink() ? "@" : ""));
    }
    return names;
}

TEST(PosixIniWriter, OtherBytesStayAsWritten) {
    test::TempDir dir;
    const struct {
        const char* before;
        const char* after;
    } rows[] = {
        {"", "[ADRTP]\r\nExitCode=0\r\n"},
        {"; caller's comment\n[a]\nb = 1   ; note\n\n",
         "; caller's comment\n[a]\nb = 1   ; note\n\n[ADRTP]\nExitCode=0\n"},
        {"[a]\nb=1", "[a]\nb=1\n[ADRTP]\nExitCode=0\n"},
        {"[adrtp]\n  exitcode = 5 ; old\nkeep=1\n", "[adrtp]\n  exitcode=0\nkeep=1\n"},
        {"[ADRTP]\r\nA=1\r\n\r\n[z]\r\nq=1\r\n",
         "[ADRTP]\r\nA=1\r\nExitCode=0\r\n\r\n[z]\r\nq=1\r\n"},
        {"[ADRTP]", "[ADRTP]\nExitCode=0\n"},
        {"[ADRTP]\nExitCode=1\n[ADRTP]\nExitCode=2\n",
         "[ADRTP]\nExitCode=0\n[ADRTP]\nExitCode=2\n"},
        {"\xEF\xBB\xBF[ADRTP]\r\nExitCode=5\r\n", "\xEF\xBB\xBF[ADRTP]\r\nExitCode=0\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        const std::string file = dir.Write("r.rtp", row.before);
        ASSERT_TRUE(IniWriteString("ADRTP", "ExitCode", "0", file.c_str()));
        EXPECT_EQ(row.after, dir.Read("r.rtp"));
    }
}

TEST(PosixIniWriter, FilesAreReplacedThroughLinksAndKeepTheirMode) {
    const std::string kNew = "[ADRTP]\nExitCode=0\n";
    test::TempDir dir;
    const std::string longest = std::string(251, 'r') + ".rtp";  // the most a folder takes
    for (const std::string& name : {std::string("file.rtp"), longest}) {
        std::ofstream(dir.File(name)) << "[ADRTP]\nExitCode=5\n";
        ASSERT_EQ(0, ::chmod(dir.File(name).c_str(), 0640));
    }
    ASSERT_EQ(0, ::symlink(dir.File("file.rtp").c_str(), dir.File("link.rtp").c_str()));
    ASSERT_EQ(0, ::symlink(dir.File("gone.rtp").c_str(), dir.File("dangling.rtp").c_str()));
    const struct {
        const char* name;     // given to the writer
        const char* changed;  // the file that gets the new bytes, or null: nothing changes
    } rows[] = {
        {"link.rtp", "file.rtp"},
        {"dangling.rtp", nullptr},
        {"file.rtp/r.rtp", nullptr},  // below a file
        {longest.c_str(), longest.c_str()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name).substr(0, 20));
        const std::set<std::string> before = Listing(dir);
        EXPECT_EQ(row.changed != nullptr,
                  files::ReplaceFileContents(dir.File(row.name).c_str(), kNew.data(), kNew.size()));
        EXPECT_EQ(before, Listing(dir)) << "no temporary stays, nothing else is made";
        if (row.changed == nullptr) continue;
        EXPECT_EQ(kNew, dir.Read(row.changed));
        struct stat st;
        ASSERT_EQ(0, ::stat(dir.File(row.changed).c_str(), &st));
        EXPECT_EQ(0640u, st.st_mode & 07777);
    }
}

}  // namespace
}  // namespace wbh::platform
