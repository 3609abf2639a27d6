// The program's resource script (resources/webbook-helper.rc) read as data: its string table
// and dialog templates, with the values windres puts in the compiled resources. The build
// embeds the script's text in the program, so the POSIX build shows exactly the texts and
// layouts that the Windows build links in; only the subset of the language that script uses is
// understood, and anything else is refused rather than dropped.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wbh::platform {

// Texts are UTF-8, as written in the script. Ids are 16-bit as in the template (-1 is 65535).
struct ControlTemplate {
    int id;
    std::string class_name;  // in capitals, as windres stores it ("BUTTON", "EDIT", ...)
    std::uint32_t style;     // always with WS_CHILD | WS_VISIBLE, which windres adds
    int x, y, width, height;
    std::string text;
};

struct DialogTemplate {
    int id;
    std::uint32_t style;  // with WS_CAPTION for a CAPTION and DS_SETFONT for a FONT
    int x, y, width, height;
    std::string caption;
    int font_size;  // 0 and an empty font without a FONT statement
    std::string font;
    std::vector<ControlTemplate> controls;  // in the script's order (tab and stacking order)
};

struct ResourceScript {
    std::map<int, std::string> strings;
    std::map<int, DialogTemplate> dialogs;
};

// Reads a whole script. On failure returns false with `error` naming the line and the
// problem ("line 12: unknown name WS_TABSTOPP"); `out` is then unspecified.
bool ParseResourceScript(std::string_view text, ResourceScript& out, std::string& error);

// The embedded script and its parse, made on first use. A script that does not parse gives no
// strings and no dialogs (the tests refuse such a build).
std::string_view ProgramResourceText();
const ResourceScript& ProgramResources();

}  // namespace wbh::platform
