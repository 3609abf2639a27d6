// The setup's Windows side under Wine: the desktop, the shell link object and the reader
// component's lifetime. (The association, HKEY_CLASSES_ROOT refused included:
// tests/unit/setup_flow_test.cpp, under Wine too; the real finish dialog:
// tests/e2e/folder_names_test.sh.)
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/com.h"
#include "platform/reader_component.h"
#include "support/fault_injection.h"
#include "support/reader_component_stand_in.h"
#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

class Win32Setup : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    const ComScope com_;  // the run's apartment
};

TEST_F(Win32Setup, ADesktopPathThatDoesNotFitIsRefused) {
    char desktop[MAX_PATH];
    ASSERT_EQ(S_OK, shell::DesktopDirectory(desktop, sizeof desktop));
    std::string small(std::strlen(desktop), 'x');  // one byte short of its NUL
    EXPECT_LT(shell::DesktopDirectory(&small[0], static_cast<int>(small.size())), 0);
    EXPECT_EQ('\0', small[0]);
}

// Without the link object or its persist interface nothing is saved; without a target's or an
// icon's text the link is saved all the same.
TEST_F(Win32Setup, ShortcutSaveFailures) {
    const test::TempDir dir;
    const std::string link = dir.File("l.lnk");
    for (const char* call : {"CoCreateInstance", "QueryInterface"}) {
        fault::FailCall(call);
        EXPECT_LT(shell::SaveShortcut(link.c_str(), "l", "C:\\t.htm", ""), 0) << call;
        fault::Reset();
        EXPECT_EQ("<missing>", dir.Read("l.lnk")) << call;
    }
    EXPECT_EQ(S_OK, shell::SaveShortcut(link.c_str(), "l", "C:\\t\xC3", "C:\\i\xC3.ico"));
    EXPECT_NE("<missing>", dir.Read("l.lnk"));
}

TEST_F(Win32Setup, TheReaderComponentIsHeldUntilReleased) {
    const test::ReaderComponentStandIn stand_in("S", "P");
    {
        const ReaderComponent component;
        EXPECT_EQ(1, test::ReaderComponentStandIn::Alive()) << "held after the nested apartment";
    }
    EXPECT_EQ(0, test::ReaderComponentStandIn::Alive());
}

}  // namespace
}  // namespace wbh::platform
