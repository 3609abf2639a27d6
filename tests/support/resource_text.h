// Parsed resources as text, one line per dialog, control and string, for whole comparisons.
#pragma once

#include <cstdio>
#include <string>

#include "platform/portable/resource_script.h"

namespace wbh::test {

inline std::string Describe(const platform::DialogTemplate& dialog) {
    char line[160];
    std::snprintf(line, sizeof line, "dialog %d style=%08x box=%d,%d,%d,%d font=%d,\"", dialog.id,
                  static_cast<unsigned>(dialog.style), dialog.x, dialog.y, dialog.width,
                  dialog.height, dialog.font_size);
    std::string text = line + dialog.font + "\" caption=\"" + dialog.caption + "\"\n";
    for (const auto& control : dialog.controls) {
        std::snprintf(line, sizeof line, "  control %d %s style=%08x box=%d,%d,%d,%d text=\"",
                      control.id, control.class_name.c_str(), static_cast<unsigned>(control.style),
                      control.x, control.y, control.width, control.height);
        text += line + control.text + "\"\n";
    }
    return text;
}

inline std::string Describe(const platform::ResourceScript& script) {
    std::string text;
    for (const auto& [id, dialog] : script.dialogs) text += Describe(dialog);
    for (const auto& [id, string] : script.strings)
        text += "string " + std::to_string(id) + " \"" + string + "\"\n";
    return text;
}

}  // namespace wbh::test
