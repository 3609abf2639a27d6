// argv to command-line text. The grammar has no escapes, so a value that holds both kinds of
// quote, or ends in white space or a quote, cannot reach the program whole (see README).
#include "platform/posix/command_line.h"

#include <cstring>

#include "common/ascii.h"

namespace wbh::platform {
namespace {

bool NeedsQuotes(const char* value) {
    if (*value == '\0') return true;
    for (const char* p = value; *p; ++p) {
        if (IsSpace(*p) || *p == '-' || *p == '/' || *p == '"' || *p == '\'') return true;
    }
    return false;
}

}  // namespace

std::string BuildCommandLine(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!text.empty()) text += ' ';
        if (arg[0] == '-' || !NeedsQuotes(arg)) {
            text += arg;
            continue;
        }
        const char quote = std::strchr(arg, '"') != nullptr ? '\'' : '"';
        text += quote;
        text += arg;
        text += quote;
    }
    return text;
}

}  // namespace wbh::platform
