// The dialog manager's rules that the terminal and the windows share, on made templates that
// hold every case (the real ones are read back by AT-SPI in tests/e2e/linux_dialogs_test.sh).
#include "platform/posix/dialogs/dialog_manager.h"

#include <gtest/gtest.h>

#include <string>

namespace wbh::platform {
namespace {

using dialog_manager::ControlKind;

// Each control as a letter: push button P, default button D, check box C, radio button R,
// group box G, text T, notice N, box B (an edit control's letter in lower case when read-only).
std::string Kinds(const DialogTemplate& layout) {
    std::string kinds;
    for (const ControlTemplate& control : layout.controls) {
        const ControlKind kind = dialog_manager::KindOf(control);
        const char letter = "PDCRGTNB"[static_cast<int>(kind)];
        const bool read_only = kind >= ControlKind::kNotice && !dialog_manager::Editable(control);
        kinds += read_only ? static_cast<char>(letter - 'A' + 'a') : letter;
    }
    return kinds;
}

// Each control's group as first-end; then, for each radio button clicked, the ones unchecked.
std::string Groups(const DialogTemplate& layout) {
    std::string groups;
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const dialog_manager::Range group = dialog_manager::GroupOf(layout, i);
        groups += std::to_string(group.first) + "-" + std::to_string(group.end) + " ";
    }
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (dialog_manager::KindOf(layout.controls[i]) != ControlKind::kRadio) continue;
        groups += "|" + std::to_string(i) + ":";
        dialog_manager::ClickRadio(layout, i, [&](std::size_t j) { groups += std::to_string(j); });
    }
    return groups;
}

void Add(DialogTemplate& layout, const char* class_name, std::uint32_t style, int x = 0, int y = 0,
         int width = 10) {
    layout.controls.push_back({0, class_name, style, x, y, width, 10, ""});
}

TEST(DialogManager, KindsGroupsAndDefaultButtons) {
    DialogTemplate made{};
    // Each WS_CHILD | WS_VISIBLE (0x50000000), and:
    Add(made, "button", 0x50010000);     // BS_PUSHBUTTON, WS_TABSTOP
    Add(made, "Edit", 0x50010800);       // ES_READONLY
    Add(made, "EDIT", 0x50000004);       // ES_MULTILINE, editable
    Add(made, "BUTTON", 0x50030009);     // radio, WS_GROUP | WS_TABSTOP
    Add(made, "BUTTON", 0x50000003);     // check box
    Add(made, "BUTTON", 0x50000009);     // radio
    Add(made, "BUTTON", 0x50020001);     // default, WS_GROUP
    Add(made, "BUTTON", 0x50000001);     // default
    Add(made, "BUTTON", 0x50000007);     // group box
    Add(made, "SCROLLBAR", 0x50020009);  // WS_GROUP; a BUTTON's type bits mean nothing here
    Add(made, "BUTTON", 0x50000009);     // radio
    Add(made, "BUTTON", 0x50020009);     // radio, WS_GROUP: the next group's
    EXPECT_EQ("PbNRCRDDGTRR", Kinds(made));
    EXPECT_EQ("0-3 0-3 0-3 3-6 3-6 3-6 6-9 6-9 6-9 9-11 9-11 11-12 |3:5|5:3|10:|11:", Groups(made));
    EXPECT_EQ(6u, dialog_manager::DefaultButton(made));
    made.controls.resize(6);  // no default button left
    EXPECT_EQ(6u, dialog_manager::DefaultButton(made));
}

// Each edit control and the control that names it: "index:label", "-" for none.
std::string Labels(const DialogTemplate& layout) {
    std::string labels;
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].class_name != "EDIT") continue;
        const std::size_t label = dialog_manager::LabelOf(layout, i);
        labels += std::to_string(i) + ":" +
                  (label < layout.controls.size() ? std::to_string(label) : "-") + " ";
    }
    return labels;
}

TEST(DialogManager, NamesABoxByItsLabel) {
    DialogTemplate labelled{};
    Add(labelled, "EDIT", 0x00010000, 50, 0, 20);     // 0: nothing before it, nothing on its line
    Add(labelled, "STATIC", 0x00020000, 0, 20, 10);   // 1
    Add(labelled, "BUTTON", 0x00010003, 0, 60, 10);   // 2: a lone tab stop does not stop the search
    Add(labelled, "EDIT", 0x00010000, 50, 20, 20);    // 3: named by 1, before it in the template
    Add(labelled, "BUTTON", 0x00030003, 0, 80, 10);   // 4: WS_GROUP | WS_TABSTOP stops the search
    Add(labelled, "EDIT", 0x00010000, 50, 40, 20);    // 5: named by 7, the nearest on its line
    Add(labelled, "STATIC", 0x00000000, 0, 35, 10);   // 6: on its line, further left
    Add(labelled, "STATIC", 0x00000000, 25, 45, 25);  // 7: ends at the box's left edge
    Add(labelled, "STATIC", 0x00000000, 30, 50, 10);  // 8: starts at the box's bottom edge
    Add(labelled, "STATIC", 0x00000000, 60, 40, 10);  // 9: right of it
    Add(labelled, "EDIT", 0x00010004, 50, 50, 20);    // 10: named by 9, before it
    Add(labelled, "BUTTON", 0x00030003, 0, 80, 10);   // 11
    Add(labelled, "EDIT", 0x00010000, 80, 31, 20);    // 12: 6 and 9 share its line; 9 ends nearer
    EXPECT_EQ("0:- 3:1 5:7 10:9 12:9 ", Labels(labelled));
}

// The buffer's size holds the NUL; where the cut falls is utf8::Prefix's (BoundedText's tests).
TEST(DialogManager, CopiesTextCutBetweenWholeCharacters) {
    const std::string text = "caf\xE9 \xC3\xA9t\xF0\x9F\x98\x80";  // a stray byte, é, U+1F600
    const struct {
        int size;
        std::string copied;  // the count, then the buffer ("#" when it is not touched)
    } rows[] = {{0, "0#"}, {1, "0"}, {12, "8caf\xE9 \xC3\xA9t"}, {13, "12" + text}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        char buffer[64] = "#";
        const int copied = dialog_manager::CopyText(text, buffer, row.size);
        EXPECT_EQ(row.copied, std::to_string(copied) + buffer);
    }
}

}  // namespace
}  // namespace wbh::platform
