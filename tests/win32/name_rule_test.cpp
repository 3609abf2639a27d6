// Names Windows treats specially, against kernel32 under Wine: what the name rule answers, and
// the shortcut numbering that asks it, which must end however the names are taken.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/files.h"
#include "setup/shortcut_maker.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

using platform::files::CheckName;
using platform::files::NameRule;

TEST(Win32NameRule, DevicesSeparatorsAndLimits) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string() + "\\";
    for (const std::string name :
         {"nul.livre.lnk", "NUL", "aux .txt", "Con.1 (0).lnk", "com9.a", "lpt1", "conin$.x",
          "CONOUT$", "com\xC2\xB9.lnk", "m\\", "..", ". .", "a:b", "a?b", "a\x01", "\xC3"}) {
        EXPECT_EQ(NameRule::kNever, CheckName((folder + name).c_str())) << name;
    }
    // Look-alikes of devices are plain names.
    for (const std::string name :
         {"NUL (0).lnk", "com0", "com10.a", "nula.lnk", "anul.txt", "x.nul", "livre.", ".livre",
          "livre \xC3\xA9t\xC3\xA9", "sub\\livre"}) {
        EXPECT_EQ(NameRule::kFile, CheckName((folder + name).c_str())) << name;
    }
    EXPECT_EQ(NameRule::kNever, CheckName(""));
    EXPECT_EQ(NameRule::kFile, CheckName("C:livre"));
    // 259 units are a path, 260 are not; a surrogate pair is two of them.
    const std::string path = "C:\\" + std::string(253, 'p') + "\\";
    EXPECT_EQ(NameRule::kFile, CheckName((path + "\xF0\x9F\x93\x96").c_str()));
    EXPECT_EQ(NameRule::kTooLong, CheckName((path + "a\xF0\x9F\x93\x96").c_str()));
    // The file system's name limit, with a short folder.
    EXPECT_EQ(NameRule::kFile, CheckName(("C:\\" + std::string(255, 'n')).c_str()));
    EXPECT_EQ(NameRule::kTooLong, CheckName(("C:\\" + std::string(256, 'n')).c_str()));
}

TEST(Win32NameRule, ShortcutNumberingEndsOnDeviceNames) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string();
    const auto chosen = [&](const char* name) {
        return std::string(ChooseShortcutPath(folder.c_str(), name).path.CStr());
    };
    // Every numbered form of these is the device too: no shortcut, and an end.
    for (const char* name : {"nul.livre", "aux.txt", "con.1", "Lpt3 .x", "CONIN$.a"}) {
        EXPECT_EQ("", chosen(name)) << name;
    }
    // A plain device name takes its first numbered form, which is a file.
    EXPECT_EQ(folder + "\\NUL (0).lnk", chosen("NUL"));
    EXPECT_EQ(folder + "\\com1 (0).lnk", chosen("com1"));
    EXPECT_EQ(folder + "\\nul_livre.lnk", chosen("nul_livre"));
}

// A path with no file name is refused before any file is made beside it, also at the path
// limit, where a temporary's name has no room at all. The folder's changes are read from before
// the call up to a file the test makes after it: nothing may come first.
TEST(Win32NameRule, NoFileAtAPathEndingInASeparator) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string() + "\\";
    const std::string sub = folder + std::string(259 - folder.size() - 1, 'm');
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    const HANDLE watched = CreateFileA(
        sub.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, watched);
    alignas(DWORD) char changes[4096];
    OVERLAPPED pending{};
    pending.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(ReadDirectoryChangesW(watched, changes, sizeof changes, FALSE,
                                      FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &pending, nullptr) ||
                GetLastError() == ERROR_IO_PENDING);

    EXPECT_FALSE(platform::files::ReplaceFileContents((sub + "\\").c_str(), "x", 1));
    EXPECT_FALSE(platform::files::ReplaceFileContents((sub + "\\nul.js").c_str(), "x", 1));
    CloseHandle(
        CreateFileA((sub + "\\z").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    DWORD size = 0;
    ASSERT_TRUE(GetOverlappedResult(watched, &pending, &size, TRUE));
    ASSERT_GT(size, offsetof(FILE_NOTIFY_INFORMATION, FileName));
    const auto* first = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(changes);
    EXPECT_EQ(L"z", std::wstring(first->FileName, first->FileNameLength / sizeof(wchar_t)));
    CloseHandle(pending.hEvent);
    CloseHandle(watched);
}

}  // namespace
}  // namespace wbh
