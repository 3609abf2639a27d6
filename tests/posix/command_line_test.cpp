// argv to command-line text, quoted so that the option grammar reads each value back whole, and
// what it cannot carry whole refused.
#include "platform/posix/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wbh::platform {
namespace {

TEST(PosixCommandLine, ArgumentsReachTheScannerWhole) {
    const struct {
        std::vector<const char*> argv;
        const char* text;
        const char* refused = "";
    } rows[] = {
        {{"-installdirectory", "/home/me/My Books"}, "-installdirectory \"/home/me/My Books\""},
        {{"-autorunbookid", "b-17", "-mode", "1"}, "-autorunbookid \"b-17\" -mode 1"},
        {{"-desktopshortcutname", "Le \"livre\" rouge"},
         "-desktopshortcutname 'Le \"livre\" rouge'"},
        {{"-name", "it's"}, "-name \"it's\""},
        {{"-empty", "", "-mode", "3"}, "-empty \"\" -mode 3"},
        // Only "-" starts an option name: "/mode" is a value.
        {{"/mode", "3"}, "\"/mode\" 3"},
        {{"-v", "\xE9t\xE9"}, "-v \xE9t\xE9"},
        // What the grammar cannot carry whole is refused, never cut or read as more options.
        {{"-autorunbookid", "b\"x'y -mode 3", "-v", "1"},
         "-autorunbookid \"\" -v 1",
         "value of option -autorunbookid refused: it cannot be passed whole\n"},
        {{"-a", "ends ", "-b", "ends\"", "-c", "ends'"},
         "-a \"\" -b \"\" -c \"\"",
         "value of option -a refused: it cannot be passed whole\n"
         "value of option -b refused: it cannot be passed whole\n"
         "value of option -c refused: it cannot be passed whole\n"},
        {{"-x -mode 3", "v", "-w", "1"}, "- v -w 1", "option name refused: -x -mode 3\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        std::vector<const char*> argv{"webbook-helper"};
        argv.insert(argv.end(), row.argv.begin(), row.argv.end());
        std::string refused;
        EXPECT_EQ(row.text, BuildCommandLine(static_cast<int>(argv.size()), argv.data(), &refused));
        EXPECT_EQ(row.refused, refused);
    }
}

}  // namespace
}  // namespace wbh::platform
