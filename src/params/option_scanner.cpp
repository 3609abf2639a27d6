// The option grammar. Traps worth remembering: an unquoted value ends at the first "-" or "/"
// even inside a word, and after closing quotes everything up to the next marker is dropped.
#include "params/option_scanner.h"

#include "common/ascii.h"

namespace wbh {
namespace {

constexpr bool IsMarker(char c) { return c == '-' || c == '/'; }
constexpr bool IsQuote(char c) { return c == '"' || c == '\''; }

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

}  // namespace

int ScanCommandLine(const char* text, OptionHandler handler) {
    if (text == nullptr) return 1;
    return OptionScanner().Scan(text, handler);
}

int OptionScanner::Scan(std::string_view text, OptionHandler handler) const {
    std::string name;
    std::string value;
    std::size_t pos = 0;
    for (;;) {
        pos = SkipSpace(text, pos);
        if (pos >= text.size()) return 1;
        if (!IsMarker(text[pos])) {
            // Only possible before the first option (every value ends at a marker): a command
            // line that begins with a word. Skip to the next marker so the scan always advances.
            while (pos < text.size() && !IsMarker(text[pos])) ++pos;
            continue;
        }
        pos = ReadName(text, pos + 1, name);
        pos = ReadValue(text, pos, value);
        if (handler(name.c_str(), value.c_str()) == 0) return 0;
    }
}

std::size_t OptionScanner::ReadName(std::string_view text, std::size_t pos,
                                    std::string& name) const {
    const std::size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos])) ++pos;
    name.assign(text.substr(start, pos - start));
    return pos;
}

std::size_t OptionScanner::ReadValue(std::string_view text, std::size_t pos,
                                     std::string& value) const {
    enum class State { Unquoted, QuotesOpen, QuotesClosed };
    value.clear();
    pos = SkipSpace(text, pos);

    State state = State::Unquoted;
    char quote = '\0';
    if (pos < text.size() && IsQuote(text[pos])) {
        quote = text[pos];
        state = State::QuotesOpen;
        ++pos;
    }

    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (state == State::QuotesOpen) {
            if (c == quote) {
                state = State::QuotesClosed;
            } else {
                value.push_back(c);
            }
            continue;
        }
        if (IsMarker(c)) break;
        if (state == State::Unquoted) value.push_back(c);
    }

    // Trailing white space goes first, then at most one quote of either kind; white space
    // before that quote stays.
    while (!value.empty() && IsSpace(value.back())) value.pop_back();
    if (!value.empty() && IsQuote(value.back())) value.pop_back();
    return pos;
}

}  // namespace wbh
