// The option grammar, row by row, and the scan's end; on POSIX, argv made into its text.
#include "params/option_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#ifndef _WIN32
#include "platform/posix/command_line.h"
#endif

namespace wbh {
namespace {

// A handler refers to a lambda that lives only as long as the call it is passed to: assigning
// one to a handler kept for later would leave it referring to a dead object.
static_assert(!std::is_assignable_v<OptionHandler&, OptionHandler>);
static_assert(!std::is_assignable_v<OptionHandler&, int (*)(const char*, const char*)>);

// The pairs as "[name]=[value] ...", and the scan's result; the handler stops after `stop`.
std::string Scan(const char* text, int stop = 0) {
    std::string pairs;
    int count = 0;
    const int result = ScanCommandLine(text, [&](const char* name, const char* value) {
        pairs += std::string("[") + name + "]=[" + value + "] ";
        return ++count == stop ? 0 : 1;
    });
    return pairs + std::to_string(result);
}

TEST(OptionScanner, Grammar) {
    const std::pair<const char*, const char*> rows[] = {
        {R"(-mode 1 /r C:\Temp\r1.rtp)", R"([mode]=[1] [r]=[C:\Temp\r1.rtp] 1)"},
        {R"(-p "C:\A b\p.ini" -i C:\A b)", R"([p]=[C:\A b\p.ini] [i]=[C:\A b] 1)"},
        // An unquoted value ends at a marker, even inside a word.
        {R"(-i C:\My-Books -mode 2)", R"([i]=[C:\My] [Books]=[] [mode]=[2] 1)"},
        // After closing quotes, everything up to the next marker is dropped.
        {R"(-d "My book"extra -mode 2)", "[d]=[My book] [mode]=[2] 1"},
        {R"(-d "My book -mode 2)", "[d]=[My book -mode 2] 1"},
        // Trailing blanks go, then one quote of either kind; blanks before that quote stay.
        {"-d '  My book  ' -mode 2", "[d]=[  My book] [mode]=[2] 1"},
        {R"(-d 'Le "livre"' -mode 2)", R"([d]=[Le "livre] [mode]=[2] 1)"},
        {R"(-d My book " -mode 2)", "[d]=[My book ] [mode]=[2] 1"},
        {"--mode 1 -mode=1 - 1", "[-mode]=[1] [mode=1]=[] []=[1] 1"},
        {"-mode\t1\r\n-rtpfilename\nx\v", "[mode]=[1] [rtpfilename]=[x] 1"},
        // Bytes 0x80..0xFF are ordinary: kept in names and values, never trimmed.
        {"-livr\xE9 \xE9t\xE9\xA0", "[livr\xE9]=[\xE9t\xE9\xA0] 1"},
        // Words before the first option are skipped to the next marker.
        {"stray words -mode 3", "[mode]=[3] 1"},
        {"stray", "1"},
        {"\"x -mode 1", "[mode]=[1] 1"},
    };
    for (const auto& [text, pairs] : rows) EXPECT_EQ(pairs, Scan(text)) << text;
    EXPECT_EQ("1", Scan(nullptr));
    EXPECT_EQ("[a]=[1] [b]=[2] 0", Scan("-a 1 -b 2 -c 3", 2));
}

#ifndef _WIN32
// POSIX gets argv: the scanner reads back the pairs that the arguments say, and never an option
// that an argument's text would make of it.
TEST(PosixCommandLine, ArgumentsReachTheScannerWhole) {
    const struct {
        std::vector<const char*> argv;
        const char* pairs;
        const char* refused = "";
    } rows[] = {
        {{"-installdirectory", "/home/me/My Books"}, "[installdirectory]=[/home/me/My Books] 1"},
        {{"-autorunbookid", "b-17", "-mode", "1"}, "[autorunbookid]=[b-17] [mode]=[1] 1"},
        {{"-d", "Le \"livre\" rouge", "-n", "it's"}, R"([d]=[Le "livre" rouge] [n]=[it's] 1)"},
        {{"-empty", "", "-mode", "3"}, "[empty]=[] [mode]=[3] 1"},
        // The arguments up to the next option are its value, whatever they hold.
        {{"-autorunbookid", "b1", "extra -mode 7"}, "[autorunbookid]=[b1 extra -mode 7] 1"},
        // What the grammar cannot carry whole is refused, never cut or read as more options.
        {{"-autorunbookid", "b\"x'y -mode 3", "-v", "1"},
         "[autorunbookid]=[] [v]=[1] 1",
         "value of option -autorunbookid refused: it cannot be passed whole\n"},
        {{"-a", "ends ", "-b", "ends\"", "-c", "ends'"},
         "[a]=[] [b]=[] [c]=[] 1",
         "value of option -a refused: it cannot be passed whole\n"
         "value of option -b refused: it cannot be passed whole\n"
         "value of option -c refused: it cannot be passed whole\n"},
        {{"-x -mode 3", "v", "-w", "1"}, "[]=[v] [w]=[1] 1", "option name refused: -x -mode 3\n"},
        // Only "-" starts an option name, and no option takes what comes before the first.
        {{"/mode", "3", "x -mode 7", "-v", "1"},
         "[v]=[1] 1",
         "argument refused: /mode (no option before it)\n"
         "argument refused: 3 (no option before it)\n"
         "argument refused: x -mode 7 (no option before it)\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pairs);
        std::vector<const char*> argv{"webbook-helper"};
        argv.insert(argv.end(), row.argv.begin(), row.argv.end());
        std::string refused;
        const std::string text =
            platform::BuildCommandLine(static_cast<int>(argv.size()), argv.data(), &refused);
        EXPECT_EQ(row.pairs, Scan(text.c_str())) << text;
        EXPECT_EQ(row.refused, refused);
    }
}
#endif

}  // namespace
}  // namespace wbh
