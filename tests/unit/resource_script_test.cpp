// The resource-script reader on scripts that windres reads (with the values it writes) and on
// scripts it must refuse; the program's own script; LoadText's contract on both platforms.
#include "platform/portable/resource_script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/portable/fault.h"
#include "platform/resources.h"
#include "support/resource_text.h"

namespace wbh::platform {
namespace {

using test::Describe;

TEST(ResourceScript, ReadsWhatWindresReads) {
    // The expected values are what windres 2.40 wrote for the same lines.
    const struct {
        const char* script;
        const char* parsed;
    } rows[] = {
        {"STRINGTABLE\n"
         "BEGIN\n"
         "    1, \"a\\r\\nb\\tc\\\\d\\\"e\"\"f\"\n"
         "    2,\n"
         "        \"two \" \"parts\"\n"
         "        \" on three lines\"\n"
         "    0x10 \"no comma; \\\"//\\\" and /* kept */\"\n"
         "    010, \"\xC3\xA9t\xC3\xA9\"\n"
         "END\n",
         "string 1 \"a\\r\\nb\\tc\\d\"e\"f\"\n"
         "string 2 \"two parts on three lines\"\n"
         "string 8 \"\xC3\xA9t\xC3\xA9\"\n"
         "string 16 \"no comma; \"//\" and /* kept */\"\n"},
        {"// BEGIN \"not a string\n"
         "#include <windows.h>\n"
         "  #pragma code_page(65001)\n"
         "/* 1, \"hidden\"\n"
         "   END */\n"
         "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n"
         "1 ICON \"book.ico\"\n"
         "VS_VERSION_INFO VERSIONINFO\n"
         "FILEVERSION 0,1,0,0\n"
         "BEGIN\n"
         "    BLOCK \"StringFileInfo\"\n"
         "    BEGIN\n"
         "        BLOCK \"040C04B0\" { VALUE \"FileDescription\", \"Assistant\" }\n"
         "    END\n"
         "END\n"
         "STRINGTABLE\n"
         "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n"
         "{\n"
         "    7, \"kept\"  // 8, \"comment\"\n"
         "}\n",
         "string 7 \"kept\"\n"},
        // windres starts from WS_POPUP | WS_BORDER | WS_SYSMENU, adds WS_CAPTION and DS_SETFONT
        // for CAPTION and FONT, and a later STYLE keeps what they added.
        {"1 DIALOG 0, 0, 10, 20\nBEGIN\nEND\n"
         "2 DIALOG 1, 2, 30, 40\nCAPTION \"c\"\nFONT 9, \"Tahoma\"\nBEGIN\nEND\n"
         "3 DIALOG 0, 0, 10, 10\nCAPTION \"c\"\nSTYLE WS_CHILD\nBEGIN\nEND\n"
         "4 DIALOG 0, 0, 10, 10\nSTYLE 0\nBEGIN\nEND\n",
         "dialog 1 style=80880000 box=0,0,10,20 font=0,\"\" caption=\"\"\n"
         "dialog 2 style=80c80040 box=1,2,30,40 font=9,\"Tahoma\" caption=\"c\"\n"
         "dialog 3 style=40c00000 box=0,0,10,10 font=0,\"\" caption=\"c\"\n"
         "dialog 4 style=00000000 box=0,0,10,10 font=0,\"\" caption=\"\"\n"},
        // Controls always get WS_CHILD | WS_VISIBLE; class names are stored in capitals.
        {"5 DIALOG 0, 0, 100, 50\n"
         "STYLE DS_MODALFRAME | WS_POPUP\n"
         "FONT 8, \"MS Sans Serif\"\n"
         "BEGIN\n"
         "    CONTROL \"OK\", IDOK, \"button\",\n"
         "            BS_DEFPUSHBUTTON | WS_TABSTOP,\n"
         "            1, 2, 3, 4\n"
         "    CONTROL \"\", -1, \"Static\", 0, 5, 6, 7, 8\n"
         "    CONTROL \"two\" \" parts\\n\", -2, \"EDIT\", 0x0880 | ES_MULTILINE, -1, 0, 0, 0\n"
         "END\n",
         "dialog 5 style=800000c0 box=0,0,100,50 font=8,\"MS Sans Serif\" caption=\"\"\n"
         "  control 1 BUTTON style=50010001 box=1,2,3,4 text=\"OK\"\n"
         "  control 65535 STATIC style=50000000 box=5,6,7,8 text=\"\"\n"
         "  control 65534 EDIT style=50000884 box=-1,0,0,0 text=\"two parts\\n\"\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        ResourceScript script;
        std::string error;
        ASSERT_TRUE(ParseResourceScript(row.script, script, error)) << error;
        EXPECT_EQ(row.parsed, Describe(script));
    }
}

TEST(ResourceScript, RefusesWhatItCannotRead) {
    const struct {
        const char* script;
        const char* error;
    } rows[] = {
        {"STRINGTABLE\nBEGIN\n    1, \"abc\nEND\n", "line 3: unterminated string"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\\x41\"\nEND\n", "line 3: unsupported escape \\x"},
        {"STRINGTABLE\nBEGIN\n    1, L\"wide\"\nEND\n", "line 3: unexpected L, expected a string"},
        {"STRINGTABLE\nBEGIN\n    09, \"x\"\nEND\n", "line 3: bad number 09"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\"\n    1, \"b\"\nEND\n", "line 4: string 1 defined twice"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\"\n",
         "line 4: end of script, expected a number or a name"},
        {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP |\n      WS_TABSTOPP\nBEGIN\nEND\n",
         "line 3: unknown name WS_TABSTOPP"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n    PUSHBUTTON \"OK\", IDOK, 1, 2, 3, 4\nEND\n",
         "line 3: unexpected PUSHBUTTON, expected CONTROL or END"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n    CONTROL \"a\", 1, \"BUTTON\", 0, 1, 2, 3, 4, 0x200\n"
         "END\n",
         "line 3: unexpected ,, expected CONTROL or END"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n    CONTROL \"a\", 70000, \"BUTTON\", 0, 1, 2, 3, 4\nEND\n",
         "line 3: id out of range: 70000"},
        {"100 DIALOGEX 0, 0, 10, 10\nBEGIN\nEND\n",
         "line 1: resource type DIALOGEX is not supported"},
        {"#define IDC_NOTICE 1000\n", "line 1: directive #define is not supported"},
        {"\n/* 1, \"a\"\n", "line 2: unterminated comment"},
        {"1 VERSIONINFO\nBEGIN\n    BLOCK \"x\"\n    BEGIN\nEND\n",
         "line 6: end of script, expected END"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        ResourceScript script;
        std::string error;
        EXPECT_FALSE(ParseResourceScript(row.script, script, error));
        EXPECT_EQ(row.error, error);
    }
}

// UTF-16 code units of a UTF-8 text: one per character, two beyond U+FFFF.
std::size_t Utf16Units(const std::string& text) {
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

TEST(ProgramResources, ScriptIsReadWhole) {
    ResourceScript script;
    std::string error;
    EXPECT_TRUE(ParseResourceScript(ProgramResourceText(), script, error)) << error;
}

std::string Layout(std::uint32_t style, int x, int y, int width, int height) {
    char text[64];
    std::snprintf(text, sizeof text, "%08X %d,%d,%d,%d", static_cast<unsigned>(style), x, y, width,
                  height);
    return text;
}

TEST(ProgramResources, ConsentTemplate) {
    ASSERT_EQ(1u, ProgramResources().dialogs.count(100));
    const DialogTemplate& dialog = ProgramResources().dialogs.at(100);
    // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
    EXPECT_EQ("80C800C0 0,0,300,305",
              Layout(dialog.style, dialog.x, dialog.y, dialog.width, dialog.height));
    EXPECT_EQ("Utilisation du livre Web et confidentialit\xC3\xA9", dialog.caption);
    EXPECT_EQ(8, dialog.font_size);
    EXPECT_EQ("MS Sans Serif", dialog.font);

    // Each style has WS_CHILD | WS_VISIBLE (0x50000000) and:
    const struct {
        int id;
        const char* class_name;
        const char* layout;
    } rows[] = {
        {1, "BUTTON", "50010001 120,280,60,15"},      // BS_DEFPUSHBUTTON | WS_TABSTOP
        {1000, "EDIT", "50A00804 10,30,280,170"},     // ES_MULTILINE | ES_READONLY | WS_VSCROLL
                                                      // | WS_BORDER
        {65535, "STATIC", "50020001 50,5,200,20"},    // SS_CENTER | WS_GROUP
        {1001, "BUTTON", "50022409 49,235,200,10"},   // BS_AUTORADIOBUTTON | BS_TOP |
                                                      // BS_MULTILINE | WS_GROUP
        {1002, "BUTTON", "50002409 49,250,200,20"},   // BS_AUTORADIOBUTTON | BS_TOP | BS_MULTILINE
        {65535, "STATIC", "50020000 10,210,280,20"},  // SS_LEFT | WS_GROUP
    };
    ASSERT_EQ(std::size(rows), dialog.controls.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        const ControlTemplate& c = dialog.controls[i];
        EXPECT_EQ(rows[i].id, c.id);
        EXPECT_EQ(rows[i].class_name, c.class_name);
        EXPECT_EQ(rows[i].layout, Layout(c.style, c.x, c.y, c.width, c.height));
    }
}

TEST(ProgramResources, PrivacyNotice) {
    const auto& strings = ProgramResources().strings;
    ASSERT_EQ(1u, strings.count(1500));
    const std::string& notice = strings.at(1500);
    EXPECT_EQ(1430u, Utf16Units(notice));
    std::size_t paragraphs = 0;
    for (std::size_t start = 0; start <= notice.size(); ++paragraphs) {
        std::size_t end = notice.find("\r\n", start);
        if (end == std::string::npos) end = notice.size();
        const std::string paragraph = notice.substr(start, end - start);
        SCOPED_TRACE(paragraph);
        EXPECT_FALSE(paragraph.empty()) << "no empty paragraph, no CR LF at the end";
        EXPECT_EQ(std::string::npos, paragraph.find_first_of("\r\n")) << "only CR LF pairs";
        start = end + 2;
    }
    EXPECT_EQ(9u, paragraphs);
}

// What both platforms answer: the first bytes of string 1500 are ASCII, so the cuts agree.
TEST(LoadText, Contract) {
    const struct {
        unsigned id;
        int size;
        int copied;
        const char* text;  // nullptr: the buffer is not touched
    } rows[] = {
        {1500, 11, 10, "Le livre W"},
        {1500, 2, 1, "L"},
        {1500, 1, 0, ""},
        {1500, 0, 0, nullptr},
        {1500 + 0x10000, 11, 10, "Le livre W"},  // Windows looks at the low 16 bits only
        {1499, 64, 0, ""},
        {65535, 64, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.id) + ", size " + std::to_string(row.size));
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(row.copied, LoadText(row.id, buffer, row.size));
        if (row.text != nullptr) {
            EXPECT_STREQ(row.text, buffer);
        } else {
            EXPECT_EQ('x', buffer[0]);
        }
    }

    fault::Reset();
    fault::FailCall("LoadString");
    char buffer[64] = "garbage";
    EXPECT_EQ(0, LoadText(1500, buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(1, fault::CallCount("LoadString"));
    fault::Reset();
    EXPECT_EQ(10, LoadText(1500, buffer, 11)) << "only while armed";
}

}  // namespace
}  // namespace wbh::platform
