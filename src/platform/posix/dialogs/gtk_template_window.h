// A GTK 3 window made from a dialog template, as Windows makes a dialog: every control at its
// template rectangle, converted from dialog units by the metrics of the dialog's font. The
// window owns its widgets and is not shown; what the controls do is gtk_dialog.cpp's.
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "platform/portable/resource_script.h"
#include "platform/posix/dialogs/dialog_manager.h"

namespace wbh::platform::gtk {

// The dialog's base units in pixels: the average width of the letters A-Z and a-z, and the
// font's height (ascent + descent).
struct DialogUnits {
    int cx, cy;
};

struct PixelRect {
    int x, y, width, height;
};

// What Windows makes of a template rectangle: MulDiv(x, cx, 4), MulDiv(y, cy, 8).
PixelRect ToPixels(DialogUnits units, int x, int y, int width, int height);

// Windows's base units for the template's font, as Pango lays the font out in `context`: (width
// of the 52 letters + 26) / 52, and the height of a line.
DialogUnits MeasureUnits(PangoContext* context, const DialogTemplate& layout);

using dialog_manager::ControlKind;

struct TemplateControl {
    const ControlTemplate* layout;
    ControlKind kind;
    GtkWidget* widget = nullptr;  // placed at the template rectangle (the notice's scrolled window)
    GtkWidget* input = nullptr;   // takes the focus and holds the state (the notice's text view)
    GtkWidget* label = nullptr;   // the text of a button, check box, radio button or static text
    // A radio button's hidden partner in a GTK group of two, active while the button is not:
    // a GTK group always has one active member, and a template's group may have none.
    GtkWidget* unchecked = nullptr;
    GtkWidget* names = nullptr;  // the box that a static text names to assistive technologies
    // The bytes last set and what was shown for them: GTK shows only valid UTF-8.
    std::string set_text = {}, shown_text = {};
};

class TemplateWindow {
public:
    // Needs an open display (gtk_init_check).
    explicit TemplateWindow(const DialogTemplate& layout);
    ~TemplateWindow();
    TemplateWindow(const TemplateWindow&) = delete;
    TemplateWindow& operator=(const TemplateWindow&) = delete;

    GtkWindow* Window() const { return GTK_WINDOW(window_); }
    // The container of the controls, which is the window's client area.
    GtkWidget* Client() const { return client_; }
    DialogUnits Units() const { return units_; }
    const DialogTemplate& Layout() const { return layout_; }
    std::vector<TemplateControl>& Controls() { return controls_; }
    TemplateControl* Find(int id);
    // Destroys the window now rather than when this object goes: a dialog takes its window off
    // the screen before its result is known to the program.
    void Destroy();
    // A control's text (its label, its box's or notice's text). Text gives back the bytes last
    // set while the reader has not changed them, also when they were not valid UTF-8.
    void SetText(TemplateControl& control, const char* text);
    std::string Text(const TemplateControl& control) const;

private:
    void AddControl(const ControlTemplate& control);
    void MakeWidgets(TemplateControl& made);
    void NameBoxes();
    void GroupRadios();

    const DialogTemplate& layout_;
    DialogUnits units_{0, 0};
    GtkCssProvider* style_ = nullptr;
    GtkWidget* window_ = nullptr;
    GtkWidget* client_ = nullptr;
    std::vector<TemplateControl> controls_;
    bool destroyed_ = false;
};

}  // namespace wbh::platform::gtk
