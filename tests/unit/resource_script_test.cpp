// The resource-script reader on scripts windres reads and on scripts it must refuse.
#include "platform/portable/resource_script.h"

#include <gtest/gtest.h>

#include <string>

#include "support/resource_text.h"

namespace wbh::platform {
namespace {

std::string Parsed(const char* text) {
    ResourceScript script;
    std::string error;
    return ParseResourceScript(text, script, error) ? test::Describe(script) : "refused: " + error;
}

TEST(ResourceScript, ReadsWhatWindresReadsAndRefusesWhatItCannot) {
    // The parses are what windres 2.40 wrote for the same lines.
    const struct {
        const char* script;
        const char* parsed;
    } rows[] = {
        {"STRINGTABLE\nBEGIN\n"
         "    1, \"a\\r\\nb\\tc\\\\d\\\"e\"\"f\"\n"
         "    2,\n        \"two \" \"parts\"\n        \" on three lines\"\n"
         "    0x1a \"no comma; \\\"//\\\" and /* kept */\"\n"
         "    010, \"\xC3\xA9t\xC3\xA9\"\n"
         "END\n",
         "string 1 \"a\r\nb\tc\\d\"e\"f\"\n"
         "string 2 \"two parts on three lines\"\n"
         "string 8 \"\xC3\xA9t\xC3\xA9\"\n"
         "string 26 \"no comma; \"//\" and /* kept */\"\n"},
        {"// BEGIN \"not a string\n#include <windows.h>\n  #pragma code_page(65001)\n"
         "/* 1, \"hidden\"\n   END */\n"
         "LANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n"
         "1 ICON \"book.ico\"\n"
         "VS_VERSION_INFO VERSIONINFO\nFILEVERSION 0,1,0,0\nBEGIN\n"
         "    BLOCK \"StringFileInfo\"\n    BEGIN\n"
         "        BLOCK \"040C04B0\" { VALUE \"FileDescription\", \"Assistant\" }\n"
         "    END\nEND\n"
         "STRINGTABLE\nLANGUAGE LANG_FRENCH, SUBLANG_FRENCH\n{\n"
         "    7, \"kept\"  // 8, \"comment\"\n}\n",
         "string 7 \"kept\"\n"},
        // CAPTION and FONT add WS_CAPTION and DS_SETFONT to the default style, kept by a STYLE.
        {"1 DIALOG 0, 0, 10, 20\nBEGIN\nEND\n"
         "2 DIALOG 1, 2, 30, 40\nLANGUAGE 9, 1\nCAPTION \"c\"\nFONT 9, \"Tahoma\"\nBEGIN\nEND\n"
         "3 DIALOG 0, 0, 10, 10\nCAPTION \"c\"\nSTYLE WS_CHILD\nBEGIN\nEND\n"
         "4 DIALOG 0, 0, 10, 10\nSTYLE 0\nBEGIN\nEND\n",
         "dialog 1 style=80880000 box=0,0,10,20 font=0,\"\" caption=\"\"\n"
         "dialog 2 style=80c80040 box=1,2,30,40 font=9,\"Tahoma\" caption=\"c\"\n"
         "dialog 3 style=40c00000 box=0,0,10,10 font=0,\"\" caption=\"c\"\n"
         "dialog 4 style=00000000 box=0,0,10,10 font=0,\"\" caption=\"\"\n"},
        // Controls always get WS_CHILD | WS_VISIBLE; class names are stored in capitals, a to z.
        {"5 DIALOG 0, 0, 100, 50\nSTYLE DS_MODALFRAME | WS_POPUP\nFONT 8, \"MS Sans Serif\"\n"
         "BEGIN\n"
         "    CONTROL \"OK\", IDOK, \"button\",\n"
         "            BS_DEFPUSHBUTTON | WS_TABSTOP,\n"
         "            1, 2, 3, 4\n"
         "    CONTROL \"\", -1, \"Static\", 0, 5, 6, 7, 8\n"
         "    CONTROL \"two\" \" parts\\n\", -2, \"EDIT\", 0x0880 | ES_MULTILINE, -1, 0, 0, 0\n"
         "    CONTROL \"\", 3, \"az\", 0xFFFFFFFF, 0, 0, 0, 0\n"
         "END\n",
         "dialog 5 style=800000c0 box=0,0,100,50 font=8,\"MS Sans Serif\" caption=\"\"\n"
         "  control 1 BUTTON style=50010001 box=1,2,3,4 text=\"OK\"\n"
         "  control 65535 STATIC style=50000000 box=5,6,7,8 text=\"\"\n"
         "  control 65534 EDIT style=50000884 box=-1,0,0,0 text=\"two parts\n\"\n"
         "  control 3 AZ style=ffffffff box=0,0,0,0 text=\"\"\n"},
        // Refused, naming the line where the reader stopped.
        {"STRINGTABLE\nBEGIN\n    1, \"abc\nEND\n", "refused: line 3: unterminated string"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\\x41\"\nEND\n", "refused: line 3: unsupported escape \\x"},
        {"STRINGTABLE\nBEGIN\n    0x, \"x\"\nEND\n", "refused: line 3: bad number 0x"},
        {"STRINGTABLE\nBEGIN\n    1, 2\nEND\n", "refused: line 3: unexpected 2, expected a string"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\"\n    1, \"b\"\nEND\n",
         "refused: line 4: string 1 defined twice"},
        {"STRINGTABLE\nBEGIN\n    1, \"a\"\n",
         "refused: line 4: end of script, expected a number or a name"},
        {"STRINGTABLE\n1, \"a\"", "refused: line 2: unexpected 1, expected BEGIN"},
        {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP |\n      WS_TABSTOPP\nBEGIN\nEND\n",
         "refused: line 3: unknown name WS_TABSTOPP"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n    PUSHBUTTON \"OK\", IDOK, 1, 2, 3, 4\nEND\n",
         "refused: line 3: unexpected PUSHBUTTON, expected CONTROL or END"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n    CONTROL \"a\", 70000, \"BUTTON\", 0, 1, 2, 3, 4\nEND",
         "refused: line 3: id out of range: 70000"},
        {"1 DIALOG 0, 0, 10, 10\nLANGUAGE 9\nBEGIN\nEND\n",
         "refused: line 3: unexpected BEGIN, expected ,"},
        {"100 DIALOGEX 0, 0, 10, 10\nBEGIN\nEND\n",
         "refused: line 1: resource type DIALOGEX is not supported"},
        {"#define IDC_NOTICE 1000\n", "refused: line 1: directive #define is not supported"},
        // A directive only opens a line: after a word, a string or a sign it is a sign.
        {"STRINGTABLE #if\n", "refused: line 1: unexpected #, expected BEGIN"},
        {"1 DIALOG 0, 0, 1, 1\nCAPTION \"a\" #if\n",
         "refused: line 2: unexpected #, expected STYLE, CAPTION, FONT or BEGIN"},
        {"1 DIALOG 0, #if\n", "refused: line 1: unexpected #, expected a number or a name"},
        {"\n/* 1, \"a\"\n", "refused: line 2: unterminated comment"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.parsed, Parsed(row.script)) << row.script;
}

}  // namespace
}  // namespace wbh::platform
