// The POSIX INI writer edits the file in place of kernel32's: every byte it does not own stays,
// and a write that fails part way leaves the old file whole and no temporary behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fault.h"
#include "platform/ini.h"
#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        const std::string file = dir.Write("r.rtp", row.before);
        ASSERT_TRUE(IniWriteString("ADRTP", "ExitCode", "0", file.c_str()));
        EXPECT_EQ(row.after, dir.Read("r.rtp"));
    }
}

TEST(PosixIniWriter, EveryFailureLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string before = "[caller]\nstate=kept\n";
    for (const char* call :
         {"ReadProfileFile", "CreateTempProfile", "WriteTempProfile", "RenameProfile"}) {
        SCOPED_TRACE(call);
        const std::string file = dir.Write("r.rtp", before);
        fault::Reset();
        fault::FailCall(call);
        EXPECT_FALSE(IniWriteString("ADRTP", "ExitCode", "0", file.c_str()));
        fault::Reset();
        EXPECT_EQ(before, dir.Read("r.rtp"));
        EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.Path()),
                                   std::filesystem::directory_iterator()))
            << "a temporary file was left behind";
    }
}

TEST(PosixIniWriter, KeepsModeAndWritesThroughLinks) {
    test::TempDir dir;
    const std::string file = dir.Write("real.rtp", "[a]\nb=1\n");
    ASSERT_EQ(0, ::chmod(file.c_str(), 0640));
    const std::string link = dir.File("link.rtp");
    ASSERT_EQ(0, ::symlink(file.c_str(), link.c_str()));
    ASSERT_TRUE(IniWriteString("ADRTP", "ExitCode", "0", link.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ("[a]\nb=1\n[ADRTP]\nExitCode=0\n", dir.Read("real.rtp"));
    struct stat st;
    ASSERT_EQ(0, ::stat(file.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
}

TEST(PosixIniWriter, SomethingUnreadableAtTheNameIsNotReplaced) {
    test::TempDir dir;
    const std::string file = dir.File("r.rtp");
    ASSERT_TRUE(std::filesystem::create_directory(file));
    std::ofstream(file + "/inside") << "kept";
    EXPECT_FALSE(IniWriteString("ADRTP", "ExitCode", "0", file.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_EQ("kept", dir.Read("r.rtp/inside"));
}

}  // namespace
}  // namespace wbh::platform
