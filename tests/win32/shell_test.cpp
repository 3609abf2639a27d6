// The setup's Windows side under Wine: COM, system DLLs, the desktop, the link object and the .7xe
// type (read back through advapi32's ANSI calls). The real finish dialog: e2e/folder_names_test.sh.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "app/program.h"
#include "platform/com.h"
#include "platform/win32/system_library.h"
#include "support/desktop_sandbox.h"
#include "support/fault_injection.h"
#include "support/reader_component_stand_in.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

// A thread already in the multithreaded apartment: CoInitialize fails with RPC_E_CHANGED_MODE.
TEST(Win32Com, ComFailureEndsTheRunWithZeroAndNoResultFile) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    test::TempDir dir;
    const std::string command_line = "-mode 3 -rtpfilename \"" + dir.File("r.rtp") + "\"";
    EXPECT_EQ(0, RunProgram(command_line.c_str()));
    EXPECT_EQ("<missing>", dir.Read("r.rtp"));
    CoUninitialize();
    EXPECT_EQ(1, RunProgram(command_line.c_str())) << "with the apartment left";
}

// On a Windows 7 whose loader refuses the flag that limits the search to the system folder,
// the system DLLs loaded on first use are still found (shell32: not loaded before).
TEST(Win32SystemLibrary, WithTheSearchFlagRefusedTheFunctionsAreStillFound) {
    fault::FailCall("LoadLibraryExW");
    const long refused = fault::CallCount("LoadLibraryExW");
    void* const found = win32::SystemFunction(L"shell32.dll", "SHChangeNotify");
    EXPECT_EQ(refused + 1, fault::CallCount("LoadLibraryExW")) << "the flagged load was asked";
    const HMODULE module = GetModuleHandleW(L"shell32.dll");
    ASSERT_NE(nullptr, module) << "expected it loaded";
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, "SHChangeNotify")), found);
    fault::Reset();
}

class Win32Setup : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    const ComScope com_;  // the run's apartment
};

TEST_F(Win32Setup, ADesktopPathThatDoesNotFitIsRefused) {
    const test::DesktopSandbox sandbox;  // whatever desktop an earlier run left in the prefix
    char desktop[MAX_PATH];
    ASSERT_EQ(S_OK, shell::DesktopDirectory(desktop, sizeof desktop));
    std::string small(std::strlen(desktop), 'x');  // one byte short of its NUL
    EXPECT_LT(shell::DesktopDirectory(&small[0], static_cast<int>(small.size())), 0);
    EXPECT_EQ('\0', small[0]);
}

// No link object, or one without the persist interface (the reader component stands in for an
// older shell's): nothing saved, the object released. Unconvertible target and icon: saved anyway.
TEST_F(Win32Setup, ShortcutSaveFailures) {
    const test::TempDir dir;
    const std::string link = dir.File("l.lnk");
    fault::FailCall("CoCreateInstance");
    EXPECT_EQ(REGDB_E_CLASSNOTREG, shell::SaveShortcut(link.c_str(), "l", "C:\\t.htm", ""));
    fault::Reset();
    {
        const test::ReaderComponentStandIn without_persist("S", "P", /*every_class=*/true);
        EXPECT_EQ(E_NOINTERFACE, shell::SaveShortcut(link.c_str(), "l", "C:\\t.htm", ""));
        EXPECT_EQ(0, test::ReaderComponentStandIn::Alive());
    }
    EXPECT_EQ("<missing>", dir.Read("l.lnk"));
    EXPECT_EQ(S_OK, shell::SaveShortcut(link.c_str(), "l", "C:\\t\xC3", "C:\\i\xC3.ico"));
    EXPECT_NE("<missing>", dir.Read("l.lnk"));
}

// The default value of `key` below `root`, or nothing when it or the key is absent.
std::optional<std::string> DefaultValue(HKEY root, const char* key) {
    char text[64];
    DWORD size = sizeof text;
    const LONG read = RegGetValueA(root, key, nullptr, RRF_RT_REG_SZ, nullptr, text, &size);
    return read == ERROR_SUCCESS ? std::optional<std::string>(text) : std::nullopt;
}

bool KeyExists(HKEY root, const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

TEST_F(Win32Setup, TheFileTypeIsRegisteredUnlessAnotherClassHoldsIt) {
    const struct {
        const char* before;   // .7xe's default value under HKEY_CLASSES_ROOT; null: no key
        const char* failing;  // a call made to fail: its first call, or all with "*"
        bool registered;
        std::optional<std::string> machine;  // .7xe's default value afterwards under HKCR
        std::optional<std::string> user;     // ... and under HKEY_CURRENT_USER\Software\Classes
        long notices;                        // the shell told that associations changed
    } rows[] = {
        {"", nullptr, true, "7xefile", {}, 1},
        {"autre.classe", nullptr, true, "autre.classe", {}, 0},
        // Access denied to the machine's classes: the user's own take the association.
        {nullptr, "key create", true, {}, "7xefile", 1},
        {nullptr, "value write", true, {}, "7xefile", 1},
        {nullptr, "*key create", false, {}, {}, 0},
        {nullptr, "*value write", false, {}, {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.before ? row.before : "-") << row.failing);
        const test::RegistrySandbox sandbox;
        if (row.before) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetKeyValueA(HKEY_CLASSES_ROOT, ".7xe", nullptr, REG_SZ, row.before,
                                      static_cast<DWORD>(std::strlen(row.before) + 1)));
        }
        fault::Reset();
        if (row.failing && row.failing[0] == '*') fault::FailCall(row.failing + 1);
        if (row.failing && row.failing[0] != '*') fault::FailNthCall(row.failing, 1);
        EXPECT_EQ(row.registered, shell::RegisterFileType());
        EXPECT_EQ(row.notices, fault::CallCount("association notice"));
        fault::Reset();
        EXPECT_EQ(row.user, DefaultValue(HKEY_CURRENT_USER, "Software\\Classes\\.7xe"));
        EXPECT_EQ(row.user.has_value(), KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\7xefile"));
        if (row.user) continue;  // Windows shows the user's classes in the merged view too
        EXPECT_EQ(row.machine, DefaultValue(HKEY_CLASSES_ROOT, ".7xe"));
        EXPECT_EQ(row.machine == "7xefile", KeyExists(HKEY_CLASSES_ROOT, "7xefile"));
    }
}

}  // namespace
}  // namespace wbh::platform
