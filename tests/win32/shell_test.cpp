// The shell under Wine: failing creation of a shell link, the desktop folder, and files that
// the shell cannot open.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/portable/fault.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override {
        fault::Reset();
        CoUninitialize();
    }
};

TEST_F(ShellTest, FailingCreationGivesNoLinkAndAFailure) {
    for (const char* call : {"CoCreateInstance", "QueryInterface"}) {
        SCOPED_TRACE(call);
        fault::Reset();
        fault::FailCall(call);
        HResult result = S_OK;
        EXPECT_EQ(nullptr, CreateShellLink(&result));
        EXPECT_LT(result, 0);
    }
}

TEST_F(ShellTest, DesktopDirectoryIsAnExistingFolder) {
    char desktop[MAX_PATH] = "garbage";
    ASSERT_EQ(S_OK, DesktopDirectory(desktop, sizeof desktop));
    const DWORD attributes = GetFileAttributesA(desktop);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes) << desktop;
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY) << desktop;

    // One byte short of its NUL: refused, and the buffer holds the empty text.
    std::string small(std::strlen(desktop), 'x');
    EXPECT_LT(DesktopDirectory(&small[0], static_cast<int>(small.size())), 0);
    EXPECT_EQ('\0', small[0]);

    fault::FailCall("DesktopDirectory");
    std::strcpy(desktop, "garbage");
    EXPECT_LT(DesktopDirectory(desktop, sizeof desktop), 0);
    EXPECT_STREQ("", desktop);
}

// (A file of a registered type reaching its application with SW_HIDE: tests/e2e/setup_test.sh.)
TEST_F(ShellTest, NothingToOpenIsRefused) {
    const test::TempDir dir;
    EXPECT_FALSE(OpenWithShell(""));
    EXPECT_FALSE(OpenWithShell(nullptr));
    EXPECT_FALSE(OpenWithShell(dir.Write("book.wbhnotype", "content").c_str()));
    EXPECT_FALSE(OpenWithShell(dir.File("missing.html").c_str()));
}

}  // namespace
}  // namespace wbh::platform::shell
