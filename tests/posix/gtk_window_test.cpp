// The dialogs as GTK windows (on the X screen of tests/e2e/on_xvfb.sh): every control where its
// template puts it, and the controls' states as the Win32 dialog keeps them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/dialogs/gtk_dialog.h"
#include "platform/posix/dialogs/gtk_template_window.h"

// The widths that GTK lays non-empty texts out at, while a test listens: this definition comes
// before Pango's for every library of the process, and hands the call on to Pango's.
static std::vector<std::pair<std::string, int>>* g_layout_widths = nullptr;

extern "C" void pango_layout_set_width(PangoLayout* layout, int width) {
    using SetWidth = void (*)(PangoLayout*, int);
    static const auto pango =
        reinterpret_cast<SetWidth>(dlsym(RTLD_NEXT, "pango_layout_set_width"));
    const char* text = g_layout_widths != nullptr ? pango_layout_get_text(layout) : nullptr;
    if (text != nullptr && *text != '\0') g_layout_widths->emplace_back(text, width);
    pango(layout, width);
}

namespace wbh::platform {
namespace {

int Scaled(int units, int base, int per) { return (units * base + per / 2) / per; }

// Every control at its template rectangle, in the template's font (a CSS string in the window's
// style, whatever the name holds). Texts are laid out at their rectangle's width or unbounded,
// never a word a line (GtkLabel's smallest size, which took longer than the rest to lay out).
// A word wider than its rectangle is broken inside it.
TEST(GtkWindow, EveryControlAtItsTemplateRectangleInItsFont) {
    DialogTemplate odd = ProgramResources().dialogs.at(101);
    odd.font = "Odd \"b\\ c";
    ASSERT_TRUE(gtk::SessionOpen(odd));
    // Its texts right-aligned (SS_RIGHT), each ending in a word wider than its rectangle.
    for (ControlTemplate& control : odd.controls) {
        if (control.class_name != "STATIC") continue;
        control.style = (control.style & ~3u) | 2u;
        control.text.append(300, 'w');
    }
    DialogTemplate large = odd;
    large.font_size *= 2;
    // A notice longer than its box: its lines wrap at the box's width.
    DialogTemplate consent = ProgramResources().dialogs.at(100);
    for (int i = 0; i < 300; ++i) consent.controls[1].text += "confidentialit\xC3\xA9 ";
    const DialogTemplate* layouts[] = {&consent, &odd, &large};
    std::vector<gtk::DialogUnits> all_units;
    for (const DialogTemplate* layout : layouts) {
        SCOPED_TRACE(layout->caption + ", " + layout->font);
        std::vector<std::pair<std::string, int>> widths;
        g_layout_widths = &widths;
        gtk::TemplateWindow window(*layout);
        const gtk::DialogUnits units = window.Units();
        EXPECT_TRUE(units.cx >= 4 && units.cx <= 32 && units.cy >= 8 && units.cy <= 64);
        all_units.push_back(units);
        GtkWidget* shown = GTK_WIDGET(window.Window());
        EXPECT_FALSE(gtk_window_get_resizable(window.Window())) << "a dialog keeps its size";
        gtk_widget_show(shown);
        // Mapping takes a round trip to the X server; the events keep coming until it is done.
        for (int i = 0; i < 100000 && !gtk_widget_get_mapped(shown); ++i)
            g_main_context_iteration(nullptr, TRUE);
        while (g_main_context_iteration(nullptr, FALSE)) continue;
        GtkAllocation client;
        gtk_widget_get_allocation(window.Client(), &client);
        EXPECT_EQ(Scaled(layout->width, units.cx, 4), client.width);
        EXPECT_EQ(Scaled(layout->height, units.cy, 8), client.height);
        for (gtk::TemplateControl& control : window.Controls()) {
            const ControlTemplate& t = *control.layout;
            SCOPED_TRACE("control " + std::to_string(t.id) + " " + t.text);
            GtkAllocation a;
            gtk_widget_get_allocation(control.widget, &a);
            EXPECT_NEAR(Scaled(t.x, units.cx, 4), a.x - client.x, 1);
            EXPECT_NEAR(Scaled(t.y, units.cy, 8), a.y - client.y, 1);
            EXPECT_NEAR(Scaled(t.width, units.cx, 4), a.width, 1);
            EXPECT_NEAR(Scaled(t.height, units.cy, 8), a.height, 1);
            EXPECT_TRUE(gtk_widget_get_mapped(control.input));
            const PangoFontDescription* font =
                pango_context_get_font_description(gtk_widget_get_pango_context(control.input));
            EXPECT_EQ(layout->font, pango_font_description_get_family(font));
            if (control.kind == gtk::ControlKind::kText) {
                const float along[] = {0.0f, 0.5f, 1.0f, 0.0f};  // SS_LEFT, CENTER, RIGHT
                GtkLabel* label = GTK_LABEL(control.label);
                EXPECT_EQ(along[t.style & 3], gtk_label_get_xalign(label));
                int drawn = 0;
                pango_layout_get_pixel_size(gtk_label_get_layout(label), &drawn, nullptr);
                EXPECT_LE(drawn, gtk_widget_get_allocated_width(control.label));
            }
            if (control.kind == gtk::ControlKind::kBox) {
                const bool border = (t.style & 0x00800000) != 0;  // WS_BORDER
                EXPECT_EQ(border, gtk_entry_get_has_frame(GTK_ENTRY(control.widget)));
            }
            if (control.kind == gtk::ControlKind::kNotice) {
                GtkScrollable* notice = GTK_SCROLLABLE(control.input);
                GtkAdjustment* across = gtk_scrollable_get_hadjustment(notice);
                GtkAdjustment* down = gtk_scrollable_get_vadjustment(notice);
                EXPECT_LE(gtk_adjustment_get_upper(across), gtk_adjustment_get_page_size(across));
                EXPECT_GT(gtk_adjustment_get_upper(down), gtk_adjustment_get_page_size(down));
                // As in an edit control, a new text starts with the caret at its start.
                GtkTextBuffer* text = gtk_text_view_get_buffer(GTK_TEXT_VIEW(notice));
                GtkTextIter caret;
                gtk_text_buffer_get_iter_at_mark(text, &caret, gtk_text_buffer_get_insert(text));
                EXPECT_TRUE(gtk_text_iter_is_start(&caret));
            }
        }
        g_layout_widths = nullptr;
        for (const auto& [text, width] : widths) EXPECT_NE(0, width) << "\"" << text << "\"";
        EXPECT_FALSE(widths.empty()) << "no text laid out, nothing was checked";
    }
    // The base units follow the template's font: twice its size, larger units.
    EXPECT_GT(all_units[2].cx, all_units[1].cx);
    EXPECT_GT(all_units[2].cy, all_units[1].cy);
    // Drawn without OpenGL, whose libraries (Mesa and LLVM, some thirty) GDK would load as it
    // opened the display.
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        EXPECT_EQ(line.find("libGL"), line.npos) << line;
}

// Radio buttons of one group may be both checked or both unchecked, as CheckDlgButton leaves
// them: both states read after each step, and the consent dialog ended before it is shown.
struct Checks : DialogHandler {
    void OnInit(Dialog& dialog) override {
        const std::pair<int, bool> steps[] = {{1001, true},  {1002, true}, {1001, false},
                                              {1002, false}, {1001, true}, {1001, true},
                                              {1002, false}};
        for (const auto& [id, checked] : steps) {
            dialog.Check(id, checked);
            for (const int read : {1001, 1002}) states += dialog.IsChecked(read) ? "1" : "0";
            states += " ";
        }
        // Bytes that are not UTF-8 come back as they were set, cut as any text.
        dialog.SetText(1000, "caf\xE9 \xC3\xA9t\xC3\xA9");
        char buffer[64] = "#";
        cut = std::to_string(dialog.GetText(1000, buffer, 9)) + buffer;
        dialog.End(3);
    }
    void OnCommand(Dialog&, int id, int code) override {
        heard += std::to_string(id) + ":" + std::to_string(code) + " ";
    }
    std::string states, cut, heard;
};

TEST(GtkWindow, KeepsControlStatesAsWindows) {
    ASSERT_TRUE(gtk::SessionOpen(ProgramResources().dialogs.at(100)));
    Checks handler;
    EXPECT_EQ(3, gtk::RunWindowDialog(ProgramResources().dialogs.at(100), handler));
    EXPECT_EQ("10 11 01 00 10 10 10 ", handler.states);
    EXPECT_EQ("", handler.heard) << "the dialog's own changes are not clicks";
    EXPECT_EQ("8caf\xE9 \xC3\xA9t", handler.cut);
}

}  // namespace
}  // namespace wbh::platform
