// The libFuzzer targets, one program each: FUZZ_TARGET names the function below that checks the
// program's code on any input. A broken promise traps.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ascii.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"
#include "platform/portable/fault.h"
#include "platform/portable/resource_script.h"
#include "platform/posix/windows_1252.h"
#include "setup/tracking_script.h"

namespace fuzz {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// The text up to its first NUL: the program gets C strings.
std::string CString(std::string_view input) {
    return std::string(input.substr(0, input.find('\0')));
}

// --- The option scanner: names hold no white space and follow their marker in text order, made
// with the values of distinct bytes of the text; a handler's 0 on the k-th pair ends the scan.

std::vector<std::pair<std::string, std::string>> g_pairs;
std::size_t g_stop_at = 0;  // the pair whose handler call returns 0; 0 for none

int Record(const char* name, const char* value) {
    g_pairs.emplace_back(name, value);
    return g_pairs.size() == g_stop_at ? 0 : 1;
}

// The end of the earliest place from `from` on where the name follows a marker and ends a word.
std::size_t FindName(const std::string& text, const std::string& name, std::size_t from) {
    for (std::size_t at = from; at + name.size() < text.size(); ++at) {
        const std::size_t end = at + 1 + name.size();
        if ((text[at] == '-' || text[at] == '/') && text.compare(at + 1, name.size(), name) == 0 &&
            (end == text.size() || wbh::IsSpace(text[end]))) {
            return end;
        }
    }
    return std::string::npos;
}

void option_scanner(std::string_view input) {
    const std::string text = CString(input);
    g_pairs.clear();
    g_stop_at = 0;
    Check(wbh::ScanCommandLine(text.c_str(), Record) == 1);
    const auto all = g_pairs;
    std::size_t used = 0;
    std::size_t at = 0;
    for (const auto& [name, value] : all) {
        Check(std::none_of(name.begin(), name.end(), wbh::IsSpace));
        at = FindName(text, name, at);
        Check(at != std::string::npos);
        used += 1 + name.size() + value.size();
    }
    Check(used <= text.size());
    if (all.empty()) return;
    g_stop_at = 1 + text.size() % all.size();
    g_pairs.clear();
    Check(wbh::ScanCommandLine(text.c_str(), Record) == 0);
    Check(g_pairs.size() == g_stop_at && std::equal(g_pairs.begin(), g_pairs.end(), all.begin()));
}

// --- The parameters file reader over the POSIX INI files: entries are texts no longer than the
// file (values, in UTF-8, three times as long: Windows-1252 converted) that keep to the INI line
// grammar, and the INI reads stay linear in the file's size.

std::size_t g_size = 0;  // of the file being read

bool Holds(const char* text, const char* bytes) { return std::strpbrk(text, bytes) != nullptr; }

int Count(const char* section, const char* key, const char* value) {
    Check(section != nullptr && value != nullptr);  // the key may be null by the contract
    Check(std::strlen(section) <= g_size && std::strlen(value) <= 3 * g_size);
    Check(wbh::platform::posix::IsUtf8(value));
    Check(!Holds(section, "\n]") && !Holds(value, "\n"));
    Check(key == nullptr || (std::strlen(key) <= g_size && !Holds(key, "\n=")));
    return 1;
}

// One file rewritten for every input, its modification time the run's number: the INI layer's
// cache knows a file by its size and times, and must not take it for the previous input.
struct InputFile {
    std::string path;
    int fd = -1;
    InputFile() {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/wbh-fuzz-parameters-XXXXXX";
        fd = mkstemp(path.data());
        Check(fd >= 0);
    }
    ~InputFile() { unlink(path.c_str()); }
    void Write(std::string_view input, long run) {
        Check(pwrite(fd, input.data(), input.size(), 0) == static_cast<ssize_t>(input.size()));
        Check(ftruncate(fd, static_cast<off_t>(input.size())) == 0);
        const struct timespec times[2] = {{run, 0}, {run, 0}};
        Check(futimens(fd, times) == 0);
    }
};

void parameters_file(std::string_view input) {
    static InputFile file;
    static long run = 0;
    file.Write(input, ++run);
    g_size = input.size();
    wbh::platform::fault::Reset();
    wbh::ReadParametersFile(file.path.c_str(), Count);
    // A line costs at most one read (a header its key list, an entry its value) and takes three
    // bytes at least ("k=" and its line end); a list or value that outgrows a buffer has paid
    // for the larger read with the bytes it outgrew it by. The 4: the section list of a file
    // too short to pay for its own reads ("[a]" takes two).
    const long reads = wbh::platform::fault::CallCount("GetPrivateProfileString");
    Check(reads <= static_cast<long>(input.size() / 2 + 4));
}

// --- The resource script reader: a refusal names a line of the text; a script read and written
// out again reads back the same, its controls WS_CHILD | WS_VISIBLE with capital class names.

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : std::string(1, c);
    }
    return out + '"';
}

std::string Box(int x, int y, int width, int height) {
    return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(width) + ", " +
           std::to_string(height);
}

// Every field, in numbers and escaped strings; empty CAPTION and FONT left out (STYLE has all).
std::string Write(const wbh::platform::ResourceScript& script) {
    std::string out = "STRINGTABLE\nBEGIN\n";
    for (const auto& [id, text] : script.strings)
        out += std::to_string(id) + ", " + Quoted(text) + "\n";
    out += "END\n";
    for (const auto& [id, d] : script.dialogs) {
        out += std::to_string(id) + " DIALOG " + Box(d.x, d.y, d.width, d.height) + "\n";
        out += "STYLE " + std::to_string(d.style) + "\n";
        if (!d.caption.empty()) out += "CAPTION " + Quoted(d.caption) + "\n";
        if (d.font_size != 0 || !d.font.empty()) {
            out += "FONT " + std::to_string(d.font_size) + ", " + Quoted(d.font) + "\n";
        }
        out += "BEGIN\n";
        for (const auto& c : d.controls) {
            out += "CONTROL " + Quoted(c.text) + ", " + std::to_string(c.id) + ", " +
                   Quoted(c.class_name) + ", " + std::to_string(c.style) + ", " +
                   Box(c.x, c.y, c.width, c.height) + "\n";
        }
        out += "END\n";
    }
    return out;
}

void resource_script(std::string_view text) {
    wbh::platform::ResourceScript script;
    std::string error;
    if (!wbh::platform::ParseResourceScript(text, script, error)) {
        Check(error.compare(0, 5, "line ") == 0);
        char* end = nullptr;
        const long line = std::strtol(error.c_str() + 5, &end, 10);
        Check(line >= 1 && line <= 1 + std::count(text.begin(), text.end(), '\n'));
        Check(std::string_view(end).substr(0, 2) == ": ");
        return;
    }
    Check(error.empty());
    for (const auto& [id, dialog] : script.dialogs) {
        for (const auto& control : dialog.controls) {
            Check((control.style & 0x50000000u) == 0x50000000u);
            Check(std::none_of(control.class_name.begin(), control.class_name.end(),
                               [](char c) { return c >= 'a' && c <= 'z'; }));
        }
    }
    const std::string written = Write(script);
    wbh::platform::ResourceScript again;
    Check(wbh::platform::ParseResourceScript(written, again, error));
    Check(Write(again) == written);
}

// --- JavaScriptString: the literal holds no raw control character and decodes to the text.

// A double-quoted literal's bytes, or false when it is not one literal. Bytes of 0x80 and up
// stand for themselves (U+2028 and U+2029 may stand raw since ECMAScript 2019); \x and \u must
// name a code point below 0x80, the only ones that are one byte of the text.
bool Decode(std::string_view literal, std::string& out) {
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return false;
    const std::string_view body = literal.substr(1, literal.size() - 2);
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"' || c == '\n' || c == '\r') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == body.size()) return false;  // the backslash took the closing quote
        static constexpr std::string_view kSimple = "\"\"''\\\\b\bf\fn\nr\rt\tv\v";
        const std::size_t pair = kSimple.find(body[i]);
        if (pair != std::string_view::npos && pair % 2 == 0) {
            out += kSimple[pair + 1];
            continue;
        }
        const std::size_t digits = body[i] == 'x' ? 2 : body[i] == 'u' ? 4 : 0;
        const std::string hex(body.substr(i + 1, digits));
        if (digits == 0 || hex.size() != digits ||
            hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            return false;
        }
        const long code = std::strtol(hex.c_str(), nullptr, 16);
        if (code >= 0x80) return false;
        out += static_cast<char>(code);
        i += digits;
    }
    return true;
}

void javascript_string(std::string_view input) {
    const std::string text = CString(input);
    const std::string literal = wbh::JavaScriptString(text.c_str());
    std::string decoded;
    Check(Decode(literal, decoded) && decoded == text);
    Check(std::none_of(literal.begin(), literal.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }));
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FUZZ_TARGET(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
