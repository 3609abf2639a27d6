// Replacing a file whole or not at all, and probing names, the same cases on both platforms.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "platform/portable/fault.h"
#include "support/temp_dir.h"

namespace wbh::platform::files {
namespace {

namespace fs = std::filesystem;

bool Replace(const std::string& file, const std::string& bytes) {
    return ReplaceFileContents(file.c_str(), bytes.data(), bytes.size());
}

TEST(Files, ReplaceFileContentsWholeOrNotAtAll) {
    test::TempDir dir;
    const std::string file = dir.File("script.js");
    const std::string binary("a\0b\r\nc", 6);
    ASSERT_TRUE(Replace(file, std::string(5000, 'x')));
    ASSERT_TRUE(Replace(file, binary));  // nothing of the longer content stays
    EXPECT_EQ(binary, dir.Read("script.js"));

    const std::string read_only = dir.Write("read-only.js", "kept");
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(read_only, write, fs::perm_options::remove);
    EXPECT_FALSE(Replace(read_only, "new"));
    fs::permissions(read_only, write, fs::perm_options::add);
    EXPECT_EQ("kept", dir.Read("read-only.js"));

    EXPECT_FALSE(Replace(dir.File("missing") + Separator() + "script.js", "new"));
    EXPECT_FALSE(Replace(dir.File("titre\x1b]0;x\x07.js"), "new")) << "no valid name";
    ASSERT_TRUE(fs::create_directory(dir.File("folder")));
    EXPECT_FALSE(Replace(dir.File("folder"), "new"));
    fault::FailCall("ReplaceFile");
    EXPECT_FALSE(Replace(file, "new"));
    fault::Reset();
    EXPECT_EQ(binary, dir.Read("script.js"));

    // No temporary stays and no folder is made: still folder, read-only.js and script.js.
    EXPECT_EQ(3, std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()));
}

TEST(Files, ProbeTellsWhatIsThere) {
    test::TempDir dir;
    const std::string file = dir.Write("file.txt", "x");
    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(Presence::kPresent, Probe(file.c_str())) << "also when it cannot be read";
    fs::permissions(file, fs::perms::owner_all);
    EXPECT_EQ(Presence::kPresent, Probe(dir.Path().string().c_str()));
    EXPECT_EQ(Presence::kAbsent, Probe(dir.File("missing").c_str()));
    EXPECT_EQ(Presence::kUnknown, Probe(""));
    // A control character makes no valid name, on POSIX as on Windows.
    EXPECT_EQ(Presence::kUnknown, Probe(dir.File("titre\x1b]0;x\x07.lnk").c_str()));
    fault::FailCall("ProbePath");
    EXPECT_EQ(Presence::kUnknown, Probe(file.c_str()));
    fault::Reset();
}

}  // namespace
}  // namespace wbh::platform::files
