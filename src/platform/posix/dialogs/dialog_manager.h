// The Windows dialog manager's rules that both POSIX dialogs follow, the GTK windows and the
// terminal: what kind of control a template's class and style bits make, the radio group a
// control belongs to, the default button, the text that names a box and how a control's text is
// copied out. Compiled into the program and into the windows' module (see
// cmake/platform-posix.cmake).
#pragma once

#include <cstddef>
#include <string>

#include "platform/portable/resource_script.h"

namespace wbh::platform::dialog_manager {

enum class ControlKind {
    kButton,
    kDefaultButton,
    kCheckBox,
    kRadio,
    kGroupBox,
    kText,    // STATIC, and any class the dialogs do not know
    kNotice,  // a multi-line EDIT
    kBox      // a one-line EDIT
};

ControlKind KindOf(const ControlTemplate& control);

// An EDIT that the reader can type into: without ES_READONLY.
bool Editable(const ControlTemplate& control);

// Controls [first, end) of a template.
struct Range {
    std::size_t first, end;
};

// The group that holds control `index`: from the control with WS_GROUP at or before it to the
// next one with WS_GROUP (the template's first control starts a group in any case).
Range GroupOf(const DialogTemplate& layout, std::size_t index);

// An auto radio button that is clicked checks itself and unchecks the other radio buttons of
// its group: `uncheck` is called with the index of each of those.
template <typename Uncheck>
void ClickRadio(const DialogTemplate& layout, std::size_t index, Uncheck&& uncheck) {
    const Range group = GroupOf(layout, index);
    for (std::size_t i = group.first; i < group.end; ++i) {
        if (i != index && KindOf(layout.controls[i]) == ControlKind::kRadio) uncheck(i);
    }
}

// The index of the button that Enter presses, the first BS_DEFPUSHBUTTON; the number of
// controls when there is none.
std::size_t DefaultButton(const DialogTemplate& layout);

// The static text that names control `index` to assistive technologies, as Windows finds it:
// the nearest STATIC before it in the template, the search stopping at a control with both
// WS_GROUP and WS_TABSTOP; else the nearest STATIC that ends to its left on its line (a label
// written after its box in the template, which Windows would miss). The number of controls
// when there is none.
std::size_t LabelOf(const DialogTemplate& layout, std::size_t index);

// GetWindowText into `buffer` of `size` bytes: at most size - 1 bytes of `text` and a NUL,
// cut between whole characters (a byte that is not UTF-8 counts as one); nothing when
// size <= 0. Returns the number of bytes copied.
int CopyText(const std::string& text, char* buffer, int size);

}  // namespace wbh::platform::dialog_manager
