// The shell under Wine: a shortcut saved by the program is read back by a fresh shell link
// object, the desktop folder exists, and opening a file reaches the application of its type
// with a hidden-window show request (a recorder program registered for a test file type).
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/fault.h"
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

TEST_F(ShellTest, SavedShortcutIsReadBackByTheShell) {
    const test::TempDir dir;
    const std::string target = dir.Write("book.exe", "MZ");
    const std::string icon = dir.Write("book.ico", "icon");
    const std::string file = dir.File("Book.lnk");
    HResult created = 1;
    std::unique_ptr<ShellLink> saved = CreateShellLink(&created);
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ(S_OK, created);
    saved->SetPath(target.c_str());
    saved->SetIconLocation(icon.c_str(), 0);
    EXPECT_EQ(S_OK, saved->Save(file.c_str()));
    saved.reset();

    // An independent reader: a new shell link object loading the file.
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)));
    EXPECT_EQ(S_OK, persist->Load(std::wstring(file.begin(), file.end()).c_str(), STGM_READ));
    char text[MAX_PATH] = "garbage";
    int index = -1;
    EXPECT_EQ(S_OK, link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH));
    EXPECT_EQ(target, text);
    EXPECT_EQ(S_OK, link->GetIconLocation(text, MAX_PATH, &index));
    EXPECT_EQ(icon, text);
    EXPECT_EQ(0, index);
    persist->Release();
    link->Release();
}

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

// A file type of the test's own, opened by the recorder, for the test's duration. It is written
// to HKEY_CLASSES_ROOT itself: Wine 8 does not merge HKCU\Software\Classes into it.
class OpenWithShellTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        RemoveType();
        // Under Wine the build's paths are Unix paths; the drive Z: is the Unix root.
        std::string recorder = WBH_SHOW_RECORDER;
        if (recorder[0] == '/') recorder = "Z:" + recorder;
        std::replace(recorder.begin(), recorder.end(), '/', '\\');
        const std::string command = "\"" + recorder + "\" \"%1\"";
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueA(HKEY_CLASSES_ROOT, ".wbhtest", REG_SZ, "wbhtest.file", 0));
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueA(HKEY_CLASSES_ROOT, "wbhtest.file\\shell\\open\\command", REG_SZ,
                               command.c_str(), 0));
    }
    void TearDown() override {
        RemoveType();
        ShellTest::TearDown();
    }
    static void RemoveType() {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".wbhtest");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "wbhtest.file");
    }
};

TEST_F(OpenWithShellTest, AssociatedApplicationIsAskedToStayHidden) {
    const test::TempDir dir;
    const std::string file = dir.Write("book.wbhtest", "content");
    ASSERT_TRUE(OpenWithShell(file.c_str()));

    // The shell does not wait for the application; its record appears when it has run.
    std::string record = dir.Read("book.wbhtest.shown");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (record == "<missing>" && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        record = dir.Read("book.wbhtest.shown");
    }
    ASSERT_NE("<missing>", record) << "the recorder did not run within 10 s";
    const std::string hide = std::to_string(SW_HIDE);
    EXPECT_EQ("argument=" + file + "\nuse_show_window=1\nshow_window=" + hide +
                  "\ncmd_show=" + hide + "\n",
              record);
}

TEST_F(OpenWithShellTest, NothingToOpenIsRefused) {
    const test::TempDir dir;
    EXPECT_FALSE(OpenWithShell(""));
    EXPECT_FALSE(OpenWithShell(nullptr));
    EXPECT_FALSE(OpenWithShell(dir.Write("book.wbhnotype", "content").c_str()));
    EXPECT_FALSE(OpenWithShell(dir.File("missing.wbhtest").c_str()));

    // A file the recorder would open is refused when the shell call fails.
    const std::string registered = dir.Write("b.wbhtest", "content");
    fault::FailCall("ShellExecute");
    EXPECT_FALSE(OpenWithShell(registered.c_str()));
}

}  // namespace
}  // namespace wbh::platform::shell
