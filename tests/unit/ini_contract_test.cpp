// The INI contract on whichever backend this build has (the program's own, or kernel32 under
// Wine): the expectations are kernel32's.
#include <gtest/gtest.h>

#include <string>

#include "platform/ini.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

using namespace std::string_literals;

const std::string kMain =
    "[parameters]\r\nmode=1\r\n  spaced key  =  spaced value  \r\nq1=\"abc\"\r\nq2='abc'\r\n"
    "q3=\"abc\r\nq4=\"\"\r\n;comment=1\r\n#hash=2\r\nnoequals\r\n"
    "\r\n=emptykey\r\nK=first\r\nk=second\r\nempty=\r\n[other]\r\nmode=2\r\n[ spaced sec ]\r\n"
    "a=1\r\n[noclose\r\nb=2\r\n[z]trail\r\nc=3\r\n[PARAMETERS]\r\nmode=9\r\n[empty]\r\n";
const std::string kLf = "a=1\nb=2\n[s]\nc=3\n[s]\nd=4\n[S]\ne=5\nc=33\n";
const std::string kBom = "\xEF\xBB\xBF[s]\r\nk=1\r\n";  // with UTF-8's byte-order mark
const std::string kBlanks = "[s]\nk\t=\tv\tw\t\n k3 = a ; comment\n\x0c[t]\nlast=no newline";

struct Row {
    const char* what;
    const std::string* file;  // null: a file that does not exist
    const char* section;
    const char* key;
    // The buffer through its NUL (two for lists); the result is its length less one. A cut list
    // is checked to its first NUL only: Wine's ANSI call leaves the last byte alone.
    std::string bytes;
    unsigned size = 4096;
};

TEST(IniContract, ReadsAsKernel32Does) {
    const Row rows[] = {
        {"section list", &kMain, nullptr, nullptr,
         "parameters\0other\0spaced sec\0z\0PARAMETERS\0empty\0\0"s},
        {"key list stops being useful at an empty name", &kMain, "parameters", nullptr,
         "mode\0spaced key\0q1\0q2\0q3\0q4\0#hash\0\0K\0k\0empty\0\0"s},
        {"blanks around key and value", &kMain, "parameters", "spaced key", "spaced value\0"s},
        {"double quotes removed", &kMain, "parameters", "q1", "abc\0"s},
        {"unmatched quote kept", &kMain, "parameters", "q3", "\"abc\0"s},
        {"a line without = is no key", &kMain, "parameters", "noequals", "not_found_error\0"s},
        {"the first of two keys wins", &kMain, "parameters", "k", "first\0"s},
        {"section names are trimmed; a broken header is skipped", &kMain, "spaced sec", nullptr,
         "a\0b\0\0"s},
        {"text after ] ignored, names in any case", &kMain, "Z", nullptr, "c\0\0"s},
        {"section list cut", &kMain, nullptr, nullptr, "parameters\0oth\0"s, 16},
        {"section list, first name fits with one byte spare", &kMain, nullptr, nullptr,
         "parameters\0\0"s, 13},
        {"value cut", &kMain, "parameters", "spaced key", "spaced \0"s, 8},
        {"quoted value, cut", &kMain, "parameters", "q1", "ab\0"s, 3},
        {"missing file: no sections", nullptr, nullptr, nullptr, "\0"s},
        {"LF lines, duplicate sections listed", &kLf, nullptr, nullptr, "s\0s\0S\0\0"s},
        {"the first of duplicate sections", &kLf, "s", nullptr, "c\0\0"s},
        {"a byte-order mark hides no section", &kBom, nullptr, nullptr, "s\0\0"s},
        {"tabs and other blanks", &kBlanks, nullptr, nullptr, "s\0t\0\0"s},
        {"no inline comments", &kBlanks, "s", "k3", "a ; comment\0"s},
    };
    test::TempDir dir;
    const std::string missing = dir.File("missing.ini");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string file = row.file ? dir.Write("t.ini", *row.file) : missing;
        char buffer[4096 + 8];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        const unsigned got = wbh::platform::IniReadString(row.section, row.key, "not_found_error",
                                                          buffer, row.size, file.c_str());
        EXPECT_EQ(row.bytes.size() - 1, got);
        const std::size_t n = std::min<std::size_t>(row.bytes.size(), row.size);
        EXPECT_EQ(row.bytes.substr(0, n), std::string(buffer, n));
    }
}

}  // namespace
}  // namespace wbh
