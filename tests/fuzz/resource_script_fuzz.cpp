// The resource script reader on any text: a refusal names a line of the text; a script it
// reads, written out again from what was read, reads back to the same strings and dialogs, and
// its controls carry WS_CHILD | WS_VISIBLE and capital class names.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/portable/resource_script.h"

namespace {

using wbh::platform::ResourceScript;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

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

// Every field, in numbers and escaped strings only. CAPTION and FONT are left out when empty:
// the style they added is written in full.
std::string Write(const ResourceScript& script) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ResourceScript script;
    std::string error;
    if (!wbh::platform::ParseResourceScript(text, script, error)) {
        Check(error.compare(0, 5, "line ") == 0);
        char* end = nullptr;
        const long line = std::strtol(error.c_str() + 5, &end, 10);
        Check(line >= 1 && line <= 1 + std::count(text.begin(), text.end(), '\n'));
        Check(std::string_view(end).substr(0, 2) == ": ");
        return 0;
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
    ResourceScript again;
    Check(wbh::platform::ParseResourceScript(written, again, error));
    Check(Write(again) == written);
    return 0;
}
