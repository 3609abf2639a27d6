// The shortcut files that the POSIX build writes, read back by the shell link object itself:
// what it loads is what a Windows user's shell sees. Also the texts that have no .lnk form.
#include "platform/portable/shell_link_file.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

struct ReadBack {
    std::string path = "<not read>";
    std::string icon = "<not read>";
    int icon_index = -1;
    int show = -1;
};

// Loads the bytes through IShellLinkA / IPersistFile, as Explorer opens a .lnk file.
ReadBack Load(const std::string& bytes) {
    ReadBack read;
    test::TempDir dir;
    const std::filesystem::path file = dir.Path() / "livre.lnk";
    std::ofstream(file, std::ios::binary) << bytes;

    const HRESULT initialised = CoInitialize(nullptr);
    EXPECT_TRUE(SUCCEEDED(initialised)) << std::hex << initialised;
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    EXPECT_EQ(S_OK, hr) << "CoCreateInstance";
    if (SUCCEEDED(hr)) {
        hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
        EXPECT_EQ(S_OK, hr) << "QueryInterface";
    }
    if (persist != nullptr) {
        hr = persist->Load(file.wstring().c_str(), STGM_READ);
        EXPECT_EQ(S_OK, hr) << "Load, expected S_OK, got 0x" << std::hex << hr;
        if (SUCCEEDED(hr)) {
            char text[MAX_PATH] = "garbage";
            if (link->GetPath(text, MAX_PATH, nullptr, 0) == S_OK) read.path = text;
            std::strcpy(text, "garbage");
            if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &read.icon_index))) {
                read.icon = text;
            }
            link->GetShowCmd(&read.show);
        }
        persist->Release();
    }
    if (link != nullptr) link->Release();
    if (SUCCEEDED(initialised)) CoUninitialize();
    return read;
}

TEST(ShellLinkFile, TheShellLinkObjectReadsTargetAndIcon) {
    const char* target = "C:\\livres\\mon livre\\index.html";
    const char* icon = "C:\\livres\\mon livre\\icone.ico";
    const std::string bytes = ShellLinkFileBytes(target, icon);
    ASSERT_FALSE(bytes.empty());
    const ReadBack with_icon = Load(bytes);
    EXPECT_EQ(target, with_icon.path);
    EXPECT_EQ(icon, with_icon.icon);
    EXPECT_EQ(0, with_icon.icon_index);
    EXPECT_EQ(SW_SHOWNORMAL, with_icon.show);

    const ReadBack without_icon = Load(ShellLinkFileBytes(target, ""));
    EXPECT_EQ(target, without_icon.path);
    EXPECT_EQ("", without_icon.icon);
    EXPECT_EQ(0, without_icon.icon_index);
}

TEST(ShellLinkFile, RefusesTextWithoutALinkForm) {
    const char* target = "C:\\livres\\index.html";
    for (const char* bad : {"\xC3", "a\xC3(b", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xFF", "\x80"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(bad)));
        EXPECT_EQ("", ShellLinkFileBytes(bad, ""));
        EXPECT_EQ("", ShellLinkFileBytes(target, bad));
    }
    // The icon location's count is 16 bits of UTF-16 units; U+1F4D6 takes two of them.
    std::string longest = "C:\\" + std::string(0xFFFF - 5, 'a') + "\xF0\x9F\x93\x96";
    EXPECT_NE("", ShellLinkFileBytes(target, longest.c_str()));
    longest += "a";
    EXPECT_EQ("", ShellLinkFileBytes(target, longest.c_str()));
    EXPECT_EQ("", ShellLinkFileBytes(longest.c_str(), ""));
}

}  // namespace
}  // namespace wbh::platform
