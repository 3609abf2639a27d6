// Replacing a file's content and probing names, the same cases on both platforms: a file is
// replaced whole or not at all, a read-only file and a missing folder are left as they are,
// and no temporary file stays behind.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/portable/fault.h"
#include "support/temp_dir.h"

namespace wbh::platform::files {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const test::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

bool Replace(const std::string& file, const std::string& bytes) {
    return ReplaceFileContents(file.c_str(), bytes.data(), bytes.size());
}

TEST(Files, ReplaceFileWritesTheWholeContent) {
    test::TempDir dir;
    const std::string file = dir.File("script.js");
    const std::string binary("a\0b\r\nc", 6);
    ASSERT_TRUE(Replace(file, binary));
    EXPECT_EQ(binary, dir.Read("script.js"));

    // A shorter content leaves nothing of the longer one.
    dir.Write("script.js", std::string(5000, 'x'));
    ASSERT_TRUE(Replace(file, "new"));
    EXPECT_EQ("new", dir.Read("script.js"));
    ASSERT_TRUE(Replace(file, ""));
    EXPECT_EQ("", dir.Read("script.js"));
    EXPECT_EQ(std::vector<std::string>{"script.js"}, Names(dir)) << "a temporary file stayed";
}

TEST(Files, ReplaceFileLeavesWhatItMayNotReplace) {
    test::TempDir dir;
    const std::string read_only = dir.Write("read-only.js", "kept");
    fs::permissions(read_only, fs::perms::owner_write | fs::perms::group_write |
                                   fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(Replace(read_only, "new"));
    fs::permissions(read_only, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ("kept", dir.Read("read-only.js"));

    const std::string in_missing_folder = dir.File("missing") + Separator() + "script.js";
    EXPECT_FALSE(Replace(in_missing_folder, "new"));
    EXPECT_FALSE(fs::exists(dir.File("missing")));

    EXPECT_FALSE(Replace(dir.File("titre\x1b]0;x\x07.js"), "new")) << "no valid name";

    ASSERT_TRUE(fs::create_directory(dir.File("folder")));
    EXPECT_FALSE(Replace(dir.File("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(dir.File("folder")));

    const std::string file = dir.Write("script.js", "old");
    fault::Reset();
    fault::FailCall("ReplaceFile");
    EXPECT_FALSE(Replace(file, "new"));
    fault::Reset();
    EXPECT_EQ("old", dir.Read("script.js"));

    const std::vector<std::string> expected = {"folder", "read-only.js", "script.js"};
    std::vector<std::string> names = Names(dir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(expected, names) << "a temporary file stayed";
}

TEST(Files, ProbeTellsWhatIsThere) {
    test::TempDir dir;
    EXPECT_EQ(Presence::kAbsent, Probe(dir.File("missing").c_str()));
    const std::string file = dir.Write("file.txt", "x");
    EXPECT_EQ(Presence::kPresent, Probe(file.c_str()));
    EXPECT_EQ(Presence::kPresent, Probe(dir.Path().string().c_str()));

    // A control character makes no valid name, on POSIX as on Windows.
    EXPECT_EQ(Presence::kUnknown, Probe(dir.File("titre\x1b]0;x\x07.lnk").c_str()));

    fs::permissions(file, fs::perms::none);
    EXPECT_EQ(Presence::kPresent, Probe(file.c_str()));
    fs::permissions(file, fs::perms::owner_all);

    fault::Reset();
    fault::FailCall("ProbePath");
    EXPECT_EQ(Presence::kUnknown, Probe(file.c_str()));
    fault::Reset();
}

TEST(Files, ToNativePathUsesTheSeparator) {
    char path[] = "a\\b\\c.txt";
    ToNativePath(path);
    EXPECT_EQ(std::string("a") + Separator() + "b" + Separator() + "c.txt", path);
}

}  // namespace
}  // namespace wbh::platform::files
