// Reads the subset of the resource-script language that resources/webbook-helper.rc uses:
// DIALOG templates made of generic CONTROL lines, STRINGTABLE blocks, and other resources
// (VERSIONINFO, icons, a manifest) that it skips. The values are those windres writes, so the
// POSIX build and the linked Windows resources agree; the Windows tests compare the two.
#include "platform/portable/resource_script.h"

#include <cstddef>
#include <cstdint>
#include <set>

#include "common/ascii.h"

namespace wbh::platform {

// The script's bytes, written by cmake/embed-resource-script.cmake at build time.
extern const unsigned char kProgramResourceScript[];
extern const std::size_t kProgramResourceScriptSize;

namespace {

constexpr std::uint32_t kWsChild = 0x40000000;
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsCaption = 0x00C00000;
constexpr std::uint32_t kDsSetFont = 0x00000040;
// windres's style for a DIALOG before any STYLE: WS_POPUP | WS_BORDER | WS_SYSMENU.
constexpr std::uint32_t kDefaultDialogStyle = 0x80880000;

// The names the script uses, or is likely to, with their windows.h values. A name missing
// here makes the script unreadable, and a wrong value shows in the Windows tests, which compare
// every control with what windres compiled.
struct Constant {
    std::string_view name;
    std::uint32_t value;
};
// clang-format off
constexpr Constant kConstants[] = {
    {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000}, {"WS_VISIBLE", 0x10000000},
    {"WS_DISABLED", 0x08000000}, {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000},
    {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000},
    {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000},
    {"DS_SETFONT", 0x0040}, {"DS_MODALFRAME", 0x0080}, {"DS_CENTER", 0x0800},
    {"BS_PUSHBUTTON", 0x0000}, {"BS_DEFPUSHBUTTON", 0x0001}, {"BS_AUTOCHECKBOX", 0x0003},
    {"BS_GROUPBOX", 0x0007}, {"BS_AUTORADIOBUTTON", 0x0009}, {"BS_TOP", 0x0400},
    {"BS_MULTILINE", 0x2000},
    {"ES_LEFT", 0x0000}, {"ES_MULTILINE", 0x0004}, {"ES_AUTOVSCROLL", 0x0040},
    {"ES_AUTOHSCROLL", 0x0080}, {"ES_READONLY", 0x0800},
    {"SS_LEFT", 0x0000}, {"SS_CENTER", 0x0001}, {"SS_NOPREFIX", 0x0080},
    {"IDOK", 1}, {"IDCANCEL", 2},
};
// clang-format on

struct Token {
    enum Kind { kEnd, kWord, kString, kPunct } kind;
    std::string text;  // a word as written, a string decoded, one punctuation character
    int line;
};

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    bool Run(std::vector<Token>& tokens, std::string& error) {
        bool line_start = true;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                ++line_;
                ++at_;
                line_start = true;
            } else if (IsSpace(c)) {
                ++at_;
            } else if (text_.compare(at_, 2, "//") == 0) {
                at_ = text_.find('\n', at_);
                if (at_ == std::string_view::npos) at_ = text_.size();
            } else if (text_.compare(at_, 2, "/*") == 0) {
                if (!SkipBlockComment(error)) return false;
            } else if (c == '#' && line_start) {
                if (!SkipDirective(error)) return false;
            } else if (c == '"') {
                line_start = false;
                Token token{Token::kString, {}, line_};
                if (!ReadString(token.text, error)) return false;
                tokens.push_back(std::move(token));
            } else if (IsWordChar(c)) {
                line_start = false;
                const std::size_t start = at_;
                while (at_ < text_.size() && IsWordChar(text_[at_])) ++at_;
                tokens.push_back(
                    {Token::kWord, std::string(text_.substr(start, at_ - start)), line_});
            } else {
                line_start = false;
                tokens.push_back({Token::kPunct, std::string(1, c), line_});
                ++at_;
            }
        }
        tokens.push_back({Token::kEnd, {}, line_});
        return true;
    }

private:
    bool Fail(std::string& error, int line, const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return false;
    }

    bool SkipBlockComment(std::string& error) {
        const int start_line = line_;
        const std::size_t end = text_.find("*/", at_ + 2);
        if (end == std::string_view::npos) return Fail(error, start_line, "unterminated comment");
        for (; at_ < end; ++at_) line_ += text_[at_] == '\n';
        at_ = end + 2;
        return true;
    }

    // #include and #pragma only: the names a #define made, or the lines an #if hid, would be
    // invisible here while windres saw them.
    bool SkipDirective(std::string& error) {
        std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view directive = text_.substr(at_ + 1, end - at_ - 1);
        while (!directive.empty() && IsSpace(directive.front())) directive.remove_prefix(1);
        std::size_t length = 0;
        while (length < directive.size() && IsWordChar(directive[length])) ++length;
        const std::string_view name = directive.substr(0, length);
        if (name != "include" && name != "pragma") {
            return Fail(error, line_, "directive #" + std::string(name) + " is not supported");
        }
        at_ = end;
        return true;
    }

    // windres's escapes, less those this script has no use for (octal, \x, \a ...); a raw
    // line end inside the quotes is an unterminated string, as for windres.
    bool ReadString(std::string& out, std::string& error) {
        ++at_;
        while (true) {
            if (at_ >= text_.size() || text_[at_] == '\n') {
                return Fail(error, line_, "unterminated string");
            }
            const char c = text_[at_++];
            if (c == '"') {
                if (at_ < text_.size() && text_[at_] == '"') {
                    out += '"';
                    ++at_;
                    continue;
                }
                return true;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            const char escaped = at_ < text_.size() ? text_[at_++] : '\0';
            if (escaped == '\n' || escaped == '\0') {
                return Fail(error, line_, "unterminated string");
            }
            // Pairs of the letter after the backslash and what it stands for.
            static constexpr std::string_view kEscapes = "r\rn\nt\t\\\\\"\"";
            const std::size_t pair = kEscapes.find(escaped);
            if (pair == std::string_view::npos || pair % 2 != 0) {
                return Fail(error, line_, std::string("unsupported escape \\") + escaped);
            }
            out += kEscapes[pair + 1];
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
};

class Parser {
public:
    Parser(const std::vector<Token>& tokens, ResourceScript& out, std::string& error)
        : tokens_(tokens), out_(out), error_(error) {}

    bool Run() {
        while (Peek().kind != Token::kEnd) {
            if (IsKeyword(Peek(), "LANGUAGE")) {
                if (!SkipLanguage()) return false;
            } else if (IsKeyword(Peek(), "STRINGTABLE")) {
                if (!StringTable()) return false;
            } else if (!Resource()) {
                return false;
            }
        }
        return true;
    }

private:
    const Token& Peek() const { return tokens_[at_]; }
    const Token& Next() { return tokens_[at_ < tokens_.size() - 1 ? at_++ : at_]; }

    // Keywords are capitals only, as windres reads them.
    static bool IsKeyword(const Token& token, std::string_view keyword) {
        return token.kind == Token::kWord && token.text == keyword;
    }
    static bool IsPunct(const Token& token, char c) {
        return token.kind == Token::kPunct && token.text[0] == c;
    }
    static bool IsBegin(const Token& token) {
        return IsKeyword(token, "BEGIN") || IsPunct(token, '{');
    }
    static bool IsEnd(const Token& token) { return IsKeyword(token, "END") || IsPunct(token, '}'); }

    bool Fail(const Token& token, const std::string& what) {
        error_ = "line " + std::to_string(token.line) + ": " + what;
        return false;
    }
    bool Unexpected(const Token& token, const char* wanted) {
        if (token.kind == Token::kEnd) {
            return Fail(token, std::string("end of script, expected ") + wanted);
        }
        const std::string shown =
            token.kind == Token::kString ? '"' + token.text + '"' : token.text;
        return Fail(token, "unexpected " + shown + ", expected " + wanted);
    }

    bool Expect(char c) {
        if (IsPunct(Peek(), c)) {
            Next();
            return true;
        }
        return Unexpected(Peek(), std::string(1, c).c_str());
    }
    bool ExpectBegin() { return IsBegin(Peek()) ? (Next(), true) : Unexpected(Peek(), "BEGIN"); }

    static bool IsNumber(const std::string& word) { return word[0] >= '0' && word[0] <= '9'; }

    // C's forms, as windres reads them: 0x hexadecimal, a leading 0 for octal (010 is 8);
    // without the L and U suffixes.
    bool Number(const Token& token, std::int64_t& value) {
        const std::string& word = token.text;
        const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
        const int base = hex ? 16 : word[0] == '0' ? 8 : 10;
        value = 0;
        for (std::size_t i = hex ? 2 : 0; i < word.size(); ++i) {
            const char c = AsciiLower(word[i]);
            int digit = base;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (digit >= base) return Fail(token, "bad number " + word);
            value = value * base + digit;
            if (value > 0xFFFFFFFFLL) return Fail(token, "number out of range: " + word);
        }
        return true;
    }

    // A number, optionally negative, or a name from the table.
    bool Value(std::int64_t& value) {
        const bool negative = IsPunct(Peek(), '-');
        if (negative) Next();
        const Token& token = Next();
        if (token.kind != Token::kWord) return Unexpected(token, "a number or a name");
        if (IsNumber(token.text)) {
            if (!Number(token, value)) return false;
        } else if (negative) {
            return Unexpected(token, "a number after -");
        } else if (!LookUp(token.text, value)) {
            return Fail(token, "unknown name " + token.text);
        }
        if (negative) value = -value;
        return true;
    }

    static bool LookUp(const std::string& name, std::int64_t& value) {
        for (const Constant& constant : kConstants) {
            if (name == constant.name) {
                value = constant.value;
                return true;
            }
        }
        return false;
    }

    bool Ranged(std::int64_t low, std::int64_t high, const char* what, int& value) {
        const Token& token = Peek();
        std::int64_t read = 0;
        if (!Value(read)) return false;
        if (read < low || read > high) {
            return Fail(token, std::string(what) + " out of range: " + std::to_string(read));
        }
        value = static_cast<int>(read);
        return true;
    }

    // A 16-bit id; -1 and the other negatives are stored as the template stores them.
    bool Id(int& id) {
        if (!Ranged(-32768, 65535, "id", id)) return false;
        id &= 0xFFFF;
        return true;
    }

    // Names and numbers joined by "|".
    bool Style(std::uint32_t& style) {
        style = 0;
        do {
            const Token& token = Peek();
            std::int64_t value = 0;
            if (!Value(value)) return false;
            if (value < 0) return Fail(token, "negative style");
            style |= static_cast<std::uint32_t>(value);
        } while (IsPunct(Peek(), '|') && (Next(), true));
        return true;
    }

    // One string, or several written side by side, which windres joins.
    bool Text(std::string& text) {
        if (Peek().kind != Token::kString) return Unexpected(Peek(), "a string");
        text.clear();
        while (Peek().kind == Token::kString) text += Next().text;
        return true;
    }

    bool Box(int& x, int& y, int& width, int& height) {
        return Ranged(-32768, 32767, "x", x) && Expect(',') && Ranged(-32768, 32767, "y", y) &&
               Expect(',') && Ranged(0, 32767, "width", width) && Expect(',') &&
               Ranged(0, 32767, "height", height);
    }

    // LANGUAGE lang, sublang: the compiled resources carry it, the program does not need it.
    bool SkipLanguage() {
        Next();
        if (Peek().kind != Token::kWord) return Unexpected(Peek(), "a language");
        Next();
        if (!Expect(',')) return false;
        if (Peek().kind != Token::kWord) return Unexpected(Peek(), "a sublanguage");
        Next();
        return true;
    }

    bool StringTable() {
        Next();
        if (IsKeyword(Peek(), "LANGUAGE") && !SkipLanguage()) return false;
        if (!ExpectBegin()) return false;
        while (!IsEnd(Peek())) {
            const Token& start = Peek();
            int id = 0;
            if (!Ranged(0, 65535, "string id", id)) return false;
            if (IsPunct(Peek(), ',')) Next();
            std::string text;
            if (!Text(text)) return false;
            // windres keeps the last of two; a second one is a slip in the script.
            if (!out_.strings.emplace(id, std::move(text)).second) {
                return Fail(start, "string " + std::to_string(id) + " defined twice");
            }
        }
        Next();
        return true;
    }

    bool Resource() {
        const Token& name = Next();
        if (name.kind != Token::kWord) return Unexpected(name, "a resource");
        const Token& type = Next();
        if (IsKeyword(type, "DIALOG")) return Dialog(name);
        static const std::set<std::string> kSkipped = {"VERSIONINFO", "ICON",        "CURSOR",
                                                       "BITMAP",      "RT_MANIFEST", "24"};
        if (type.kind != Token::kWord || kSkipped.count(type.text) == 0) {
            return Fail(type, "resource type " + type.text + " is not supported");
        }
        if (Peek().kind == Token::kString) {  // a file: 1 ICON "book.ico"
            Next();
            return true;
        }
        // VERSIONINFO: its fixed statements, then nested blocks with nothing the program shows.
        while (!IsBegin(Peek())) {
            if (Peek().kind == Token::kEnd) return Unexpected(Peek(), "BEGIN");
            Next();
        }
        int depth = 0;
        do {
            const Token& token = Next();
            if (token.kind == Token::kEnd) return Unexpected(token, "END");
            depth += IsBegin(token) ? 1 : IsEnd(token) ? -1 : 0;
        } while (depth > 0);
        return true;
    }

    bool Dialog(const Token& name) {
        DialogTemplate dialog{};
        std::int64_t id = 0;
        if (!IsNumber(name.text)) return Fail(name, "dialog " + name.text + " needs a number");
        if (!Number(name, id)) return false;
        if (id < 1 || id > 65535) return Fail(name, "dialog id out of range: " + name.text);
        dialog.id = static_cast<int>(id);
        if (!Box(dialog.x, dialog.y, dialog.width, dialog.height)) return false;

        // windres adds WS_CAPTION for a CAPTION and DS_SETFONT for a FONT, and a STYLE, even a
        // later one, keeps what they added; without STYLE the default stays.
        dialog.style = kDefaultDialogStyle;
        std::uint32_t added = 0;
        while (!IsBegin(Peek())) {
            const Token& statement = Peek();
            if (IsKeyword(statement, "LANGUAGE")) {
                if (!SkipLanguage()) return false;
                continue;
            }
            Next();
            if (IsKeyword(statement, "STYLE")) {
                std::uint32_t style = 0;
                if (!Style(style)) return false;
                dialog.style = style | added;
            } else if (IsKeyword(statement, "CAPTION")) {
                if (!Text(dialog.caption)) return false;
                added |= kWsCaption;
                dialog.style |= kWsCaption;
            } else if (IsKeyword(statement, "FONT")) {
                if (!Ranged(0, 65535, "font size", dialog.font_size) || !Expect(',') ||
                    !Text(dialog.font)) {
                    return false;
                }
                added |= kDsSetFont;
                dialog.style |= kDsSetFont;
            } else {
                return Unexpected(statement, "STYLE, CAPTION, FONT or BEGIN");
            }
        }
        Next();
        while (!IsEnd(Peek())) {
            if (!IsKeyword(Peek(), "CONTROL")) return Unexpected(Peek(), "CONTROL or END");
            Next();
            ControlTemplate control{};
            if (!Text(control.text) || !Expect(',') || !Id(control.id) || !Expect(',') ||
                !Text(control.class_name) || !Expect(',') || !Style(control.style) ||
                !Expect(',') || !Box(control.x, control.y, control.width, control.height)) {
                return false;
            }
            for (char& c : control.class_name) c = AsciiUpper(c);
            control.style |= kWsChild | kWsVisible;
            dialog.controls.push_back(std::move(control));
        }
        Next();
        if (!out_.dialogs.emplace(dialog.id, std::move(dialog)).second) {
            return Fail(name, "dialog " + name.text + " defined twice");
        }
        return true;
    }

    const std::vector<Token>& tokens_;
    std::size_t at_ = 0;
    ResourceScript& out_;
    std::string& error_;
};

}  // namespace

bool ParseResourceScript(std::string_view text, ResourceScript& out, std::string& error) {
    out = ResourceScript{};
    error.clear();
    std::vector<Token> tokens;
    return Lexer(text).Run(tokens, error) && Parser(tokens, out, error).Run();
}

std::string_view ProgramResourceText() {
    return {reinterpret_cast<const char*>(kProgramResourceScript), kProgramResourceScriptSize};
}

const ResourceScript& ProgramResources() {
    static const ResourceScript parsed = [] {
        ResourceScript script;
        std::string error;
        if (!ParseResourceScript(ProgramResourceText(), script, error)) script = ResourceScript{};
        return script;
    }();
    return parsed;
}

}  // namespace wbh::platform
