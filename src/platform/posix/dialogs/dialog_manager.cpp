// The dialog manager's rules, read from the template alone: both dialogs keep their controls
// in the template's order, so an index here is an index into their own controls.
#include "platform/posix/dialogs/dialog_manager.h"

#include <cstring>
#include <vector>

#include "common/ascii.h"
#include "common/utf8.h"
#include "platform/posix/dialogs/dialog_styles.h"

namespace wbh::platform::dialog_manager {

using namespace styles;

ControlKind KindOf(const ControlTemplate& control) {
    if (EqualsNoCase(control.class_name, "BUTTON")) {
        switch (control.style & kButtonTypeMask) {
            case kDefaultPushButton:
                return ControlKind::kDefaultButton;
            case kAutoCheckBox:
                return ControlKind::kCheckBox;
            case kGroupBox:
                return ControlKind::kGroupBox;
            case kAutoRadioButton:
                return ControlKind::kRadio;
            default:
                return ControlKind::kButton;
        }
    }
    if (EqualsNoCase(control.class_name, "EDIT")) {
        return (control.style & kMultiLine) != 0 ? ControlKind::kNotice : ControlKind::kBox;
    }
    return ControlKind::kText;
}

bool Editable(const ControlTemplate& control) {
    return EqualsNoCase(control.class_name, "EDIT") && (control.style & kReadOnly) == 0;
}

Range GroupOf(const DialogTemplate& layout, std::size_t index) {
    const auto starts = [&](std::size_t i) { return (layout.controls[i].style & kGroup) != 0; };
    std::size_t first = index;
    while (first > 0 && !starts(first)) --first;
    std::size_t end = first + 1;
    while (end < layout.controls.size() && !starts(end)) ++end;
    return {first, end};
}

std::size_t DefaultButton(const DialogTemplate& layout) {
    std::size_t i = 0;
    while (i < layout.controls.size() &&
           KindOf(layout.controls[i]) != ControlKind::kDefaultButton) {
        ++i;
    }
    return i;
}

std::size_t LabelOf(const DialogTemplate& layout, std::size_t index) {
    const std::vector<ControlTemplate>& controls = layout.controls;
    const auto is_static = [&](std::size_t i) {
        return EqualsNoCase(controls[i].class_name, "STATIC");
    };
    for (std::size_t i = index; i > 0;) {
        if (is_static(--i)) return i;
        if ((controls[i].style & (kGroup | kTabStop)) == (kGroup | kTabStop)) break;
    }
    const ControlTemplate& control = controls[index];
    std::size_t label = controls.size();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& text = controls[i];
        const bool on_its_line =
            text.y < control.y + control.height && control.y < text.y + text.height;
        const bool left = text.x + text.width <= control.x;
        if (is_static(i) && on_its_line && left &&
            (label == controls.size() ||
             text.x + text.width > controls[label].x + controls[label].width)) {
            label = i;
        }
    }
    return label;
}

int CopyText(const std::string& text, char* buffer, int size) {
    if (size <= 0) return 0;
    const std::size_t n = utf8::Prefix(text, text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

}  // namespace wbh::platform::dialog_manager
