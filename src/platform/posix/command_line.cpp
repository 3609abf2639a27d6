// argv to command-line text. The grammar has no escapes, so some arguments cannot reach the
// program whole; they are refused, never passed cut or split into further options (see README).
#include "platform/posix/command_line.h"

#include <cstring>

#include "common/ascii.h"

namespace wbh::platform {
namespace {

bool HasSpace(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (IsSpace(*p)) return true;
    }
    return false;
}

bool NeedsQuotes(const char* value) {
    if (*value == '\0') return true;
    for (const char* p = value; *p; ++p) {
        if (IsSpace(*p) || *p == '-' || *p == '/' || *p == '"' || *p == '\'') return true;
    }
    return false;
}

// A quoted value comes back whole unless it holds both quotes (one of them would close it
// early) or ends in white space or a quote (the scanner trims those).
bool PassesWhole(const char* value) {
    const std::size_t length = std::strlen(value);
    if (length == 0) return true;
    const char last = value[length - 1];
    if (IsSpace(last) || last == '"' || last == '\'') return false;
    return std::strchr(value, '"') == nullptr || std::strchr(value, '\'') == nullptr;
}

}  // namespace

std::string BuildCommandLine(int argc, const char* const* argv, std::string* refused) {
    std::string text;
    const char* option = nullptr;  // the option name that the next value belongs to
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!text.empty()) text += ' ';
        if (arg[0] == '-') {
            // A blank would end the name there and let the rest be read as options: the name
            // is refused and passed empty, so that it and its value match no key.
            if (HasSpace(arg)) {
                if (refused) *refused += "option name refused: " + std::string(arg) + "\n";
                text += '-';
                option = nullptr;
            } else {
                text += arg;
                option = arg;
            }
            continue;
        }
        const char* owner = option;
        option = nullptr;
        if (!NeedsQuotes(arg)) {
            text += arg;
            continue;
        }
        if (!PassesWhole(arg)) {
            if (refused) {
                *refused += "value of option " + std::string(owner ? owner : "(none)") +
                            " refused: it cannot be passed whole\n";
            }
            if (owner != nullptr) text += "\"\"";
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
