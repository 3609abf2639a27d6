// Text and names at the Windows boundary under Wine (ANSI code page 1252): conversions exact or
// refused, never a look-alike's ASCII twin; the names Windows treats specially.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "common/utf8.h"
#include "params/parameters_file.h"
#include "platform/com.h"
#include "platform/files.h"
#include "platform/reader_component.h"
#include "platform/win32/wide_text.h"
#include "setup/setup_flow.h"
#include "setup/shortcut_maker.h"
#include "setup/tracking_script.h"
#include "store/reg_key.h"
#include "store/store_layout.h"
#include "support/reader_component_stand_in.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/repeat.h"
#include "support/temp_dir.h"
#include "support/utf16_bytes.h"

namespace wbh::platform {
namespace {

std::wstring Wide(const std::string& text) {
    win32::WideText wide;
    return win32::ToWide(text, wide) ? std::wstring(wide.data(), wide.size() - 1) : L"<refused>";
}

std::string Utf8(const std::wstring& wide) {
    std::string text;
    return win32::ToUtf8(wide, text) ? text : "<refused>";
}

TEST(Win32Text, LookAlikesStayThemselves) {
    const struct {
        const wchar_t* wide;
        const char* utf8;
        bool in_code_page;
    } rows[] = {
        {L"\xFF02", "\xEF\xBC\x82", false},               // ＂
        {L"\x0416", "\xD0\x96", false},                   // Ж
        {L"\xD83D\xDE00", "\xF0\x9F\x98\x80", false},     // U+1F600
        {L"\x00E9\x20AC", "\xC3\xA9\xE2\x82\xAC", true},  // é€
    };
    const test::TempDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        EXPECT_EQ(row.utf8, Utf8(row.wide));
        EXPECT_EQ(row.wide, Wide(row.utf8));
        std::size_t pos = 0;
        EXPECT_EQ(row.in_code_page, files::TextFileHolds(utf8::DecodeNext(row.utf8, pos)));
        // A text file takes the text whole in the code page, or is not written at all.
        EXPECT_EQ(row.in_code_page, files::ReplaceTextFile(dir.File("t.txt").c_str(), row.utf8));
        EXPECT_EQ(row.in_code_page ? "\xE9\x80" : "<missing>", dir.Read("t.txt"));
    }
}

TEST(Win32Text, WhatDoesNotConvertIsRefused) {
    for (const wchar_t* wide : {L"a\xD800\x62", L"\xDC00", L"x\xD83D", L"\xDE00\xD83D"}) {
        EXPECT_EQ("<refused>", Utf8(wide)) << "an unpaired surrogate";
    }
    for (const char* text : {"\xED\xA0\x80", "\xC0\xAF", "\xE9t\xE9", "\xF4\x90\x80\x80"}) {
        EXPECT_EQ(L"<refused>", Wide(text)) << "not UTF-8: " << text;
    }
    EXPECT_FALSE(win32::WideArgument("\xE9").Ok());
    EXPECT_FALSE(win32::WidePath(("C:\\" + std::string(257, 'p')).c_str()).Ok()) << "260 units";
    EXPECT_TRUE(win32::WidePath(("C:\\" + std::string(256, 'p')).c_str()).Ok());
}

TEST(Win32Text, TheProgramNameIsSplitOffAsTheRuntimeDoes) {
    const struct {
        const wchar_t* command_line;
        const wchar_t* arguments;
    } rows[] = {
        {L"\"C:\\Program Files\\w.exe\" -mode 1", L"-mode 1"},
        {L"w.exe  \t-mode 1 ", L"-mode 1 "},
        {L"w.exe", L""},
        {L"\"a b\"c\"d e\" -x", L"-x"},
        {L"\"C:\\a\\w.exe", L""},                       // a quote never closed takes the rest
        {L"C:\\\xFF02 \xFF0Dmode 9", L"\xFF0Dmode 9"},  // ＂ is no quote
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(row.arguments, win32::SkipProgramName(row.command_line)) << row.command_line;
    }
}

// The reader component's values in the script: in the code page's own bytes, or empty when
// missing or too long for the reader's buffer; held past the nested apartment, then released.
TEST(Win32Text, ReaderComponentValuesInTheTrackingScript) {
    const ComScope com;  // the run's apartment
    const test::RegistrySandbox registry;
    const test::TempDir dir;
    SetupParameters p;
    p.readerJSfullpath.Assign(dir.File("suivi.js"));
    const std::string fits(511, 'a'), too_long(600, 'b');
    const struct {
        const char *sku, *partner;
        std::string lines;
    } rows[] = {
        {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", nullptr,  // été €
         "var ReaderSKU = \"\xE9t\xE9 \x80\";\r\nvar ReaderPartner = \"\";\r\n"},
        {fits.c_str(), too_long.c_str(),
         "var ReaderSKU = \"" + fits + "\";\r\nvar ReaderPartner = \"\";\r\n"},
        {nullptr, "\xC3\xA9t\xC3\xA9",
         "var ReaderSKU = \"\";\r\nvar ReaderPartner = \"\xE9t\xE9\";\r\n"},
    };
    for (const auto& row : rows) {
        const test::ReaderComponentStandIn stand_in(row.sku, row.partner);
        {
            const ReaderComponent component;
            EXPECT_EQ(1, test::ReaderComponentStandIn::Alive()) << "held";
        }
        WriteTrackingScript(p);
        EXPECT_EQ(0, test::ReaderComponentStandIn::Alive()) << "released";
        const std::string script = dir.Read("suivi.js");
        EXPECT_NE(std::string::npos, script.find(row.lines)) << script;
    }
}

// A parameters file in UTF-16 reaches the reader in UTF-8, whole however many bytes it takes.
// (One in the ANSI code page: the folder names e2e story's French rows.)
TEST(Win32Text, ParametersFilesInUtf16) {
    const test::TempDir dir;
    const std::string file = dir.Write(
        "utf16.ini", test::Utf16(u"[\u041A\u043D\u0438\u0433\u0430]\r\n\u043A\u043B\u044E\u0447="
                                 u"\u4E66 \uFF2C\r\n[p]\r\nv=" +
                                 std::u16string(1000, u'\u00E9') + u"\r\n"));
    std::string entries;
    ReadParametersFile(file.c_str(), [&](const char* s, const char* k, const char* v) {
        entries += std::string(s) + "|" + k + "|" + v + "\n";
        return 1;
    });
    EXPECT_EQ(
        "\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0|\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87|"
        "\xE4\xB9\xA6 \xEF\xBC\xAC\np|v|" +
            test::Repeat("\xC3\xA9", 1000) + "\n",
        entries);
}

// What another program stored reads as the ANSI calls gave it: another type's bytes as text in
// the code page, no more than 512 of them whatever they convert to, and a text as a number from
// its bytes in the code page, refused when the page has no exact form for it.
TEST(Win32Text, StoredValuesInTheCodePage) {
    const test::RegistrySandbox registry;
    const std::string e512(512, '\xE9'), e512_utf8 = test::Repeat("\xC3\xA9", 512);
    const struct {
        test::StoredValue stored;
        std::string text, number;
    } rows[] = {
        {test::DwordValue(233), "\xC3\xA9", "0xe9"},
        {{registry::kTypeBinary, e512}, e512_utf8, "<code 234>"},
        {{registry::kTypeBinary, e512 + "\xE9"}, "<code 234>", "<code 234>"},
        {test::TextValue("\xC3\xA9\xC3\xA9"), "\xC3\xA9\xC3\xA9", "0xe9e9"},
        {test::TextValue("\xD0\x96"), "\xD0\x96", "<code 1113>"},  // Ж
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.substr(0, 12));
        ASSERT_TRUE(test::Store(registry::Root::kCurrentUser, "Software\\Quarlo", "v", row.stored));
        store::RegKey key;
        ASSERT_EQ(0, key.Open(registry::RootKey(registry::Root::kCurrentUser), "Software\\Quarlo",
                              registry::kRead));
        store::StoredText text;
        long result = key.QueryText(text, "v");
        EXPECT_EQ(row.text, result == 0 ? text.CStr() : "<code " + std::to_string(result) + ">");
        std::uint32_t number = 0;
        result = key.QueryDword(number, "v");
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%x", number);
        EXPECT_EQ(row.number, result == 0 ? hex : "<code " + std::to_string(result) + ">");
    }
}

TEST(Win32NameRule, DevicesSeparatorsAndLimits) {
    const std::string folder = "C:\\livres\\";
    for (const std::string name :
         {"nul.livre.lnk", "NUL", "aux .txt", "Con.1 (0).lnk", "com9.a", "lpt1", "conin$.x",
          "CONOUT$", "com\xC2\xB9.lnk", "m\\", "..", ". .", "a:b", "a?b", "a\x01", "\xC3"}) {
        EXPECT_EQ(files::NameRule::kNever, files::CheckName((folder + name).c_str())) << name;
        EXPECT_FALSE(files::ReplaceFileContents((folder + name).c_str(), "x", 1)) << name;
    }
    // Look-alikes of devices are plain names.
    for (const std::string name :
         {"NUL (0).lnk", "com0", "com10.a", "nula.lnk", "anul.txt", "x.nul", "livre.", ".livre",
          "livre \xC3\xA9t\xC3\xA9", "sub\\livre"}) {
        EXPECT_EQ(files::NameRule::kFile, files::CheckName((folder + name).c_str())) << name;
    }
    EXPECT_EQ(files::NameRule::kNever, files::CheckName(""));
    EXPECT_EQ(files::NameRule::kFile, files::CheckName("C:livre"));
    // 259 units are a path, 260 are not; a surrogate pair is two of them.
    const std::string path = "C:\\" + std::string(253, 'p') + "\\";
    EXPECT_EQ(files::NameRule::kFile, files::CheckName((path + "\xF0\x9F\x93\x96").c_str()));
    EXPECT_EQ(files::NameRule::kTooLong, files::CheckName((path + "a\xF0\x9F\x93\x96").c_str()));
    // The file system's name limit, with a short folder.
    EXPECT_EQ(files::NameRule::kFile, files::CheckName(("C:\\" + std::string(255, 'n')).c_str()));
    EXPECT_EQ(files::NameRule::kTooLong,
              files::CheckName(("C:\\" + std::string(256, 'n')).c_str()));
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

}  // namespace
}  // namespace wbh::platform
