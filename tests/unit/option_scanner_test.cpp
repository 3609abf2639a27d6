// The option grammar, row by row, and the scanner's limits: handler stop, 8-bit text, words
// before the first option, and a command line of a megabyte.
#include "params/option_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace wbh {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs g_pairs;
int g_stop_after = 0;  // 0: never stop

int Record(const char* name, const char* value) {
    g_pairs.emplace_back(name, value);
    return (g_stop_after != 0 && static_cast<int>(g_pairs.size()) == g_stop_after) ? 0 : 1;
}

Pairs Scan(const std::string& text, int* result = nullptr) {
    g_pairs.clear();
    g_stop_after = 0;
    const int r = ScanCommandLine(text.c_str(), Record);
    if (result) *result = r;
    return g_pairs;
}

std::string Show(const Pairs& pairs) {
    std::string out;
    for (const auto& [name, value] : pairs) out += "[" + name + "] -> [" + value + "]; ";
    return out;
}

struct Row {
    const char* text;
    Pairs pairs;
};

TEST(OptionScanner, WorkedExamples) {
    const Row rows[] = {
        {R"(-mode 1 -rtpfilename C:\Temp\r1.rtp)",
         {{"mode", "1"}, {"rtpfilename", R"(C:\Temp\r1.rtp)"}}},
        {R"(/mode 2 /parametersfilepath "C:\Program Files\Book\p.ini")",
         {{"mode", "2"}, {"parametersfilepath", R"(C:\Program Files\Book\p.ini)"}}},
        {R"(-installdirectory C:\My Books\Paris -mode 2)",
         {{"installdirectory", R"(C:\My Books\Paris)"}, {"mode", "2"}}},
        {R"(-installdirectory C:\My-Books -mode 2)",
         {{"installdirectory", R"(C:\My)"}, {"Books", ""}, {"mode", "2"}}},
        {"-targetfilepath C:/books/index.htm", {{"targetfilepath", "C:"}, {"books/index.htm", ""}}},
        {R"(-autorunbookid "b-17" -mode 1)", {{"autorunbookid", "b-17"}, {"mode", "1"}}},
        {"-desktopshortcutname -mode 2", {{"desktopshortcutname", ""}, {"mode", "2"}}},
        {"-desktopshortcutname 'My book' -mode 2",
         {{"desktopshortcutname", "My book"}, {"mode", "2"}}},
        {R"(-desktopshortcutname "My book"extra -mode 2)",
         {{"desktopshortcutname", "My book"}, {"mode", "2"}}},
        {R"(-desktopshortcutname "My book"-mode 2)",
         {{"desktopshortcutname", "My book"}, {"mode", "2"}}},
        {R"(-desktopshortcutname "My book -mode 2)", {{"desktopshortcutname", "My book -mode 2"}}},
        {"-desktopshortcutname '  My book  ' -mode 2",
         {{"desktopshortcutname", "  My book"}, {"mode", "2"}}},
        {R"(-desktopshortcutname 'Le "livre"' -mode 2)",
         {{"desktopshortcutname", R"(Le "livre)"}, {"mode", "2"}}},
        {R"(-desktopshortcutname Book" -mode 2)", {{"desktopshortcutname", "Book"}, {"mode", "2"}}},
        {R"(-desktopshortcutname My book " -mode 2)",
         {{"desktopshortcutname", "My book "}, {"mode", "2"}}},
        {"--mode 1", {{"-mode", "1"}}},
        {"-mode=1", {{"mode=1", ""}}},
        {"-MODE 1", {{"MODE", "1"}}},
        {"- 1", {{"", "1"}}},
        {"-mode 1 -rtpfilename", {{"mode", "1"}, {"rtpfilename", ""}}},
        {"", {}},
        {"   ", {}},
        // Tabs, line feeds and carriage returns separate like blanks.
        {"-mode\t1\r\n-rtpfilename\nx", {{"mode", "1"}, {"rtpfilename", "x"}}},
        // A value that closes its quotes at the very end of the text.
        {"-a \"v\"", {{"a", "v"}}},
        // Bytes 0x80..0xFF are ordinary: kept in names and values, never trimmed.
        {"-livr\xE9 \xE9t\xE9\xA0", {{"livr\xE9", "\xE9t\xE9\xA0"}}},
        // Words before the first option are skipped to the next marker.
        {"stray words -mode 3", {{"mode", "3"}}},
        {"stray", {}},
        {"-", {{"", ""}}},
        {"\"x -mode 1", {{"mode", "1"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("command line: ") + row.text);
        int result = -1;
        const Pairs got = Scan(row.text, &result);
        EXPECT_EQ(1, result);
        EXPECT_EQ(Show(row.pairs), Show(got));
    }
}

TEST(OptionScanner, NoTextCallsNothing) {
    g_pairs.clear();
    EXPECT_EQ(1, ScanCommandLine(nullptr, Record));
    EXPECT_TRUE(g_pairs.empty());
}

TEST(OptionScanner, HandlerZeroEndsTheScanAtOnce) {
    g_pairs.clear();
    g_stop_after = 2;
    EXPECT_EQ(0, ScanCommandLine("-a 1 -b 2 -c 3 -d 4", Record));
    EXPECT_EQ("[a] -> [1]; [b] -> [2]; ", Show(g_pairs));
}

TEST(OptionScanner, MegabyteCommandLineIsScannedWhole) {
    // One value of a megabyte, then an option after it: nothing is cut, nothing is lost.
    const std::string big(1 << 20, 'x');
    const Pairs got = Scan("-installdirectory " + big + " -mode 2");
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(big, got[0].second);
    EXPECT_EQ("mode", got[1].first);
}

}  // namespace
}  // namespace wbh
