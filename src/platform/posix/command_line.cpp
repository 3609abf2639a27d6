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

bool NeedsQuotes(const std::string& value) {
    if (value.empty()) return true;
    for (const char c : value) {
        if (IsSpace(c) || c == '-' || c == '/' || c == '"' || c == '\'') return true;
    }
    return false;
}

// A quoted value comes back whole unless it holds both quotes (one of them would close it
// early) or ends in white space or a quote (the scanner trims those).
bool PassesWhole(const std::string& value) {
    if (value.empty()) return true;
    const char last = value.back();
    if (IsSpace(last) || last == '"' || last == '\'') return false;
    return value.find('"') == std::string::npos || value.find('\'') == std::string::npos;
}

}  // namespace

std::string BuildCommandLine(int argc, const char* const* argv, std::string* notes,
                             bool (*known)(std::string_view name)) {
    const auto refuse = [&](const std::string& line) {
        if (notes) *notes += line + "\n";
    };
    const auto is_name = [&](int i) { return argv[i][0] == '-'; };
    int i = 1;
    // The grammar skips text before the first option only up to a marker, and a marker may
    // stand inside the argument: nothing there can be passed safely.
    for (; i < argc && !is_name(i); ++i) {
        refuse("argument refused: " + std::string(argv[i]) + " (no option before it)");
    }
    std::string text;
    while (i < argc) {
        const char* name = argv[i++];
        if (!text.empty()) text += ' ';
        // A blank would end the name there and let the rest be read as options: the name is
        // passed empty, so that it and its value match no key.
        if (HasSpace(name)) {
            refuse("option name refused: " + std::string(name));
            text += '-';
        } else {
            // A misspelt name or a --help gets nothing else: no run prints anything or exits
            // with another code for it, as the package relies on.
            if (known != nullptr && !known(name + 1)) {
                refuse("unknown option ignored: " + std::string(name));
            }
            text += name;
        }
        // Every argument up to the next name is the value, as the words of a value run on to
        // the next option in the Windows text. Quoted apart, a later word would meet the
        // grammar outside quotes, where its markers begin options.
        if (i == argc || is_name(i)) continue;
        std::string value = argv[i++];
        for (; i < argc && !is_name(i); ++i) value.append(" ").append(argv[i]);
        text += ' ';
        if (!NeedsQuotes(value)) {
            text += value;
        } else if (!PassesWhole(value)) {
            refuse("value of option " + std::string(name) + " refused: it cannot be passed whole");
            text += "\"\"";
        } else {
            const char quote = value.find('"') != std::string::npos ? '\'' : '"';
            text.append(1, quote).append(value).append(1, quote);
        }
    }
    return text;
}

}  // namespace wbh::platform
