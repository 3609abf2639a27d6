// The parameters file reader on the platform's INI backend.
#include "params/parameters_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "support/fault_injection.h"
#include "support/temp_dir.h"
#include "support/utf16_bytes.h"

namespace wbh {
namespace {

// The result, then each entry as " section|key|value"; a value "stop" ends the read.
std::string Read(const std::string& file) {
    std::string entries;
    const int result =
        ReadParametersFile(file.c_str(), [&](const char* s, const char* k, const char* v) {
            entries += std::string(" ") + s + "|" + k + "|" + v;
            return std::strcmp(v, "stop") == 0 ? 0 : 1;
        });
    return std::to_string(result) + ":" + entries;
}

TEST(ParametersFile, EntriesInFileOrderWithTheirSectionsInTheEncodingOfTheirMark) {
    // The first and the last character past the Basic Multilingual Plane, a pair each.
    const std::u16string text =
        u"[parameters]\r\nmode=2\r\nnom=\u00C9t\u00E9 \U00010000\U0010FFFF\r\n";
    const std::string nom = "\xC3\x89t\xC3\xA9 \xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    const std::string entries = "1: parameters|mode|2 parameters|nom|" + nom;
    const std::u16string lone(1, 0xDC00);
    const struct {
        std::optional<std::string> bytes;  // none: no file
        std::string read;
    } rows[] = {
        {"[parameters]\nmode=1\nno_equals\n[other]\nmode=2\n", "1: parameters|mode|1 other|mode|2"},
        {"[PARAMETERS]\nMode=3\n[empty]\n[Parameters]\nx=1", "1: PARAMETERS|Mode|3"},
        {"[p]\na=\nb=stop\nc=3\n", "0: p|a| p|b|stop"},
        {"[p]\na=\"\"\nb=NOT_FOUND_ERROR\nc=3\n", "0: p|a|"},  // quotes around nothing
        {"[p]\na=not_found_error and more\nb=2\n", "0:"},
        {"[not_found_error]\na=1\n[p]\nb=2\n", "1:"},
        {"[p]\nnot_found_error=1\na=2\n[q]\nb=3\n", "1: q|b|3"},
        {"a=1\n", "1:"},
        {std::nullopt, "1:"},
        {test::Utf16(text), entries},
        {test::Utf16(text, true), entries},
        {"\xEF\xBB\xBF[parameters]\r\nmode=2\r\nnom=" + nom + "\r\n", entries},
        // A value or a name that does not convert (an unpaired surrogate) is left out alone.
        {test::Utf16(u"[a" + lone + u"]\r\nk=1\r\n[p]\r\na=1\r\nb=x" + lone + u"\r\nk" + lone +
                     u"=2\r\nc=3\r\n"),
         "1: p|a|1 p|c|3"},
    };
    test::TempDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes.value_or("no file")));
        EXPECT_EQ(row.read, Read(row.bytes ? dir.Write("p.ini", *row.bytes) : dir.File("none")));
    }
    EXPECT_EQ("1:", Read(""));  // no file name
}

TEST(ParametersFile, NamesAndValuesOfAnyLengthAreReadWhole) {
    test::TempDir dir;
    const std::string big(1 << 20, 'v'), section(5000, 's'), key(3000, 'k');
    const std::string file = dir.Write(
        "p.ini", "[" + section + "]\n" + key + "=" + big + "\nshort=" + std::string(14, 'x'));
    platform::fault::Reset();
    // 14 characters fill a 16-byte read to size - 2, so it is read again, larger.
    EXPECT_EQ("1: " + section + "|" + key + "|" + big + " " + section + "|short|xxxxxxxxxxxxxx",
              Read(file));
    // The buffers double: a megabyte takes a few reads, not thousands.
    EXPECT_LT(platform::fault::CallCount("profile read"), 50);
    EXPECT_EQ(0u, ParametersFile::NextSize(0x40000000u));  // no size past 2 GiB
}

// Many names repeated in another case: each is read once, under its first spelling, however
// they fall in the table of handled names; and the file itself is opened once, not per name.
TEST(ParametersFile, EachSectionNameIsReadOnce) {
    test::TempDir dir;
    std::string text;
    std::string expected = "1:";
    for (int n = 0; n < 600; ++n) {
        const std::string name = (n < 300 ? "s" : "S") + std::to_string(n % 300);
        text += "[" + name + "]\nk=" + std::to_string(n / 300) + "\n";
        if (n < 300) expected += " " + name + "|k|0";
    }
    platform::fault::Reset();
    EXPECT_EQ(expected, Read(dir.Write("p.ini", text)));
    if (platform::fault::Injectable("open")) EXPECT_EQ(1, platform::fault::CallCount("open"));
}

}  // namespace
}  // namespace wbh
