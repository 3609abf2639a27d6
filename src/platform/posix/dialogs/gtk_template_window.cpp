// The window's controls keep their template rectangles whatever the theme asks: a GtkFixed
// that asks for the template's client size and gives each child exactly its rectangle (Adwaita
// would make buttons and entries 34 pixels tall, and a wrapped label as tall as it likes).
#include "platform/posix/dialogs/gtk_template_window.h"

#include <gtk/gtk-a11y.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/dialogs/dialog_styles.h"

namespace wbh::platform::gtk {
namespace {

using namespace styles;

// Windows rounds MulDiv's quotient half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

// What the template's FONT statement gives, as Pango names it; a template without one gets the
// desktop's sans font at Windows's 8 points.
PangoFontDescription* TemplateFont(const DialogTemplate& layout) {
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, layout.font.empty() ? "Sans" : layout.font.c_str());
    pango_font_description_set_size(font,
                                    (layout.font_size > 0 ? layout.font_size : 8) * PANGO_SCALE);
    return font;
}

// A string of CSS: the font name in quotes, nothing in it that could end them.
std::string CssString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (static_cast<unsigned char>(c) >= ' ') quoted += c;
    }
    return quoted + "\"";
}

// The dialog's font everywhere in the window, and no theme minimum that a template rectangle
// would not hold (the container allocates the rectangles regardless; this keeps what is drawn
// inside them).
std::string WindowStyle(const DialogTemplate& layout, const std::string& name) {
    const std::string window = "#" + name;
    const int points = layout.font_size > 0 ? layout.font_size : 8;
    return window + " { font-family: " + CssString(layout.font.empty() ? "Sans" : layout.font) +
           "; font-size: " + std::to_string(points) + "pt; }\n" + window + " button, " + window +
           " entry, " + window + " checkbutton, " + window +
           " radiobutton { min-height: 0; min-width: 0; padding-top: 0; padding-bottom: 0; }\n" +
           window + " button { padding-left: 2px; padding-right: 2px; }\n" + window +
           " entry { padding-left: 3px; padding-right: 3px; }\n";
}

void ClientClassInit(gpointer klass, gpointer) {
    GtkWidgetClass* widget = GTK_WIDGET_CLASS(klass);
    // The size request, the template's client size, is the whole size: the children ask
    // for nothing.
    const auto nothing = [](GtkWidget*, gint* minimum, gint* natural) { *minimum = *natural = 0; };
    widget->get_request_mode = [](GtkWidget*) { return GTK_SIZE_REQUEST_CONSTANT_SIZE; };
    widget->get_preferred_width = nothing;
    widget->get_preferred_height = nothing;
    widget->size_allocate = [](GtkWidget* client, GtkAllocation* allocation) {
        gtk_widget_set_allocation(client, allocation);
        GList* children = gtk_container_get_children(GTK_CONTAINER(client));
        for (GList* item = children; item != nullptr; item = item->next) {
            GtkWidget* child = GTK_WIDGET(item->data);
            if (!gtk_widget_get_visible(child)) continue;
            int x = 0;
            int y = 0;
            gtk_container_child_get(GTK_CONTAINER(client), child, "x", &x, "y", &y, nullptr);
            GtkAllocation rect{allocation->x + x, allocation->y + y, 0, 0};
            gtk_widget_get_size_request(child, &rect.width, &rect.height);
            GtkRequisition asked;  // GTK allocates only what was asked for its size first
            gtk_widget_get_preferred_size(child, &asked, nullptr);
            gtk_widget_size_allocate(child, &rect);
        }
        g_list_free(children);
    };
}

// Registered once per process, as GLib types are.
GType ClientType() {
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_FIXED, "WbhTemplateClient", sizeof(GtkFixedClass), ClientClassInit,
        sizeof(GtkFixed), nullptr, static_cast<GTypeFlags>(0));
    return type;
}

// The controls' texts ask for no size either: each is given its control's rectangle, and a
// wrapped GtkLabel works out sizes that nothing here uses by laying its text out again and
// again (on one line, then each word on a line of its own), which took longer than building
// the rest of the window. What is drawn depends only on the rectangle given.
void TextClassInit(gpointer klass, gpointer) {
    GtkWidgetClass* widget = GTK_WIDGET_CLASS(klass);
    const auto nothing = [](GtkWidget*, gint* minimum, gint* natural) { *minimum = *natural = 0; };
    const auto nothing_for = [](GtkWidget*, gint, gint* minimum, gint* natural) {
        *minimum = *natural = 0;
    };
    widget->get_request_mode = [](GtkWidget*) { return GTK_SIZE_REQUEST_CONSTANT_SIZE; };
    widget->get_preferred_width = nothing;
    widget->get_preferred_height = nothing;
    widget->get_preferred_width_for_height = nothing_for;
    widget->get_preferred_height_for_width = nothing_for;
    widget->get_preferred_height_and_baseline_for_width = [](GtkWidget*, gint, gint* minimum,
                                                             gint* natural, gint* minimum_baseline,
                                                             gint* natural_baseline) {
        *minimum = *natural = 0;
        *minimum_baseline = *natural_baseline = -1;
    };
}

GType TextType() {
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_LABEL, "WbhTemplateText", sizeof(GtkLabelClass), TextClassInit, sizeof(GtkLabel),
        nullptr, static_cast<GTypeFlags>(0));
    return type;
}

// The notice's text view, which tells assistive technologies that its text is read-only, as
// Windows says of a read-only edit control (GTK's own only leaves out "editable").
AtkStateSet* NoticeStates(AtkObject* accessible) {
    const auto parent =
        static_cast<AtkObjectClass*>(g_type_class_peek(GTK_TYPE_TEXT_VIEW_ACCESSIBLE));
    AtkStateSet* states = parent->ref_state_set(accessible);
    GtkWidget* view = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
    if (view != nullptr && !gtk_text_view_get_editable(GTK_TEXT_VIEW(view))) {
        atk_state_set_add_state(states, ATK_STATE_READ_ONLY);
    }
    return states;
}

// Both registered once per process, as GLib types are.
GType NoticeAccessibleType() {
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_TEXT_VIEW_ACCESSIBLE, "WbhNoticeAccessible", sizeof(GtkTextViewAccessibleClass),
        [](gpointer klass, gpointer) { ATK_OBJECT_CLASS(klass)->ref_state_set = NoticeStates; },
        sizeof(GtkTextViewAccessible), nullptr, static_cast<GTypeFlags>(0));
    return type;
}
GType NoticeViewType() {
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_TEXT_VIEW, "WbhNoticeView", sizeof(GtkTextViewClass),
        [](gpointer klass, gpointer) {
            gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(klass), NoticeAccessibleType());
        },
        sizeof(GtkTextView), nullptr, static_cast<GTypeFlags>(0));
    return type;
}

GtkWidget* Label(bool wrap, float xalign, float yalign) {
    GtkWidget* label = GTK_WIDGET(g_object_new(TextType(), nullptr));
    gtk_label_set_line_wrap(GTK_LABEL(label), wrap);
    gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_xalign(GTK_LABEL(label), xalign);
    gtk_label_set_yalign(GTK_LABEL(label), yalign);
    gtk_label_set_justify(GTK_LABEL(label), xalign == 0.5f   ? GTK_JUSTIFY_CENTER
                                            : xalign == 1.0f ? GTK_JUSTIFY_RIGHT
                                                             : GTK_JUSTIFY_LEFT);
    return label;
}

}  // namespace

PixelRect ToPixels(DialogUnits units, int x, int y, int width, int height) {
    return {MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(width, units.cx, 4),
            MulDiv(height, units.cy, 8)};
}

DialogUnits MeasureUnits(PangoContext* context, const DialogTemplate& layout) {
    PangoLayout* text = pango_layout_new(context);
    PangoFontDescription* font = TemplateFont(layout);
    pango_layout_set_font_description(text, font);
    pango_layout_set_text(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(text, &width, &height);
    pango_font_description_free(font);
    g_object_unref(text);
    return {(width + 26) / 52, height};
}

TemplateWindow::TemplateWindow(const DialogTemplate& layout) : layout_(layout) {
    const std::string name = "wbh-dialog-" + std::to_string(layout.id);
    const std::string style = WindowStyle(layout, name);
    // In the screen's font options and resolution, as the widgets lay their texts out.
    PangoContext* screen = gdk_pango_context_get();
    units_ = MeasureUnits(screen, layout);
    g_object_unref(screen);
    style_ = gtk_css_provider_new();
    // GTK owns a toplevel and lets it go when it is destroyed; the window may be destroyed
    // from outside (the X server), and is used until this object goes.
    window_ = GTK_WIDGET(g_object_ref(gtk_window_new(GTK_WINDOW_TOPLEVEL)));
    client_ = GTK_WIDGET(g_object_new(ClientType(), nullptr));
    gtk_widget_set_name(window_, name.c_str());
    gtk_css_provider_load_from_data(style_, style.c_str(), -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window_),
                                              GTK_STYLE_PROVIDER(style_),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_window_set_title(Window(), g_utf8_validate(layout.caption.c_str(), -1, nullptr)
                                       ? layout.caption.c_str()
                                       : "");
    gtk_window_set_resizable(Window(), FALSE);
    gtk_window_set_modal(Window(), TRUE);
    gtk_window_set_type_hint(Window(), GDK_WINDOW_TYPE_HINT_DIALOG);
    const PixelRect client = ToPixels(units_, 0, 0, layout.width, layout.height);
    gtk_widget_set_size_request(client_, client.width, client.height);
    gtk_container_add(GTK_CONTAINER(window_), client_);
    gtk_widget_show(client_);
    controls_.reserve(layout.controls.size());
    for (const ControlTemplate& control : layout.controls) AddControl(control);
    NameBoxes();
    GroupRadios();
}

// A radio button's group to assistive technologies is its template's group, not the GTK group
// it shares with its hidden partner. GTK sets its own relation at the first asking, and again
// only when the GTK group changes, which it never does here: asked once first, it is replaced.
void TemplateWindow::GroupRadios() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].kind != ControlKind::kRadio || controls_[i].input == nullptr) continue;
        AtkObject* radio = gtk_widget_get_accessible(controls_[i].input);
        AtkRelationSet* relations = atk_object_ref_relation_set(radio);
        AtkRelation* gtk_group =
            atk_relation_set_get_relation_by_type(relations, ATK_RELATION_MEMBER_OF);
        if (gtk_group != nullptr) atk_relation_set_remove(relations, gtk_group);
        std::vector<AtkObject*> members;
        const dialog_manager::Range group = dialog_manager::GroupOf(layout_, i);
        for (std::size_t j = group.first; j < group.end; ++j) {
            if (controls_[j].kind == ControlKind::kRadio && controls_[j].input != nullptr) {
                members.push_back(gtk_widget_get_accessible(controls_[j].input));
            }
        }
        AtkRelation* relation = atk_relation_new(members.data(), static_cast<gint>(members.size()),
                                                 ATK_RELATION_MEMBER_OF);
        atk_relation_set_add(relations, relation);
        g_object_unref(relation);
        g_object_unref(relations);
    }
}

// A box is named by its label for assistive technologies (GTK's "labelled by" and "label for"),
// as Windows names it.
void TemplateWindow::NameBoxes() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const TemplateControl& box = controls_[i];
        if (box.kind != ControlKind::kBox && box.kind != ControlKind::kNotice) continue;
        const std::size_t label = dialog_manager::LabelOf(layout_, i);
        if (label < controls_.size() && controls_[label].label != nullptr && box.input != nullptr) {
            controls_[label].names = box.input;
            gtk_label_set_mnemonic_widget(GTK_LABEL(controls_[label].label), box.input);
            atk_object_set_name(gtk_widget_get_accessible(box.input),
                                controls_[label].shown_text.c_str());
        }
    }
}

void TemplateWindow::Destroy() {
    if (destroyed_ || window_ == nullptr) return;
    destroyed_ = true;
    gtk_style_context_remove_provider_for_screen(gtk_widget_get_screen(window_),
                                                 GTK_STYLE_PROVIDER(style_));
    gtk_widget_destroy(window_);
}

TemplateWindow::~TemplateWindow() {
    Destroy();
    g_object_unref(window_);
    for (TemplateControl& control : controls_) {
        if (control.input != control.widget) g_object_unref(control.input);
        g_object_unref(control.widget);
        if (control.unchecked != nullptr) g_object_unref(control.unchecked);
    }
    g_object_unref(style_);
}

TemplateControl* TemplateWindow::Find(int id) {
    for (TemplateControl& control : controls_) {
        if (control.layout->id == id) return &control;
    }
    return nullptr;
}

void TemplateWindow::AddControl(const ControlTemplate& control) {
    controls_.push_back({&control, dialog_manager::KindOf(control)});
    TemplateControl& made = controls_.back();
    MakeWidgets(made);
    SetText(made, control.text.c_str());
}

void TemplateWindow::MakeWidgets(TemplateControl& made) {
    const ControlTemplate& control = *made.layout;
    const bool wrap = (control.style & kButtonMultiLine) != 0;
    const float yalign = (control.style & kButtonTop) != 0 ? 0.0f : 0.5f;
    switch (made.kind) {
        case ControlKind::kButton:
        case ControlKind::kDefaultButton:
            made.widget = gtk_button_new();
            made.label = Label(wrap, 0.5f, 0.5f);
            break;
        case ControlKind::kCheckBox:
            made.widget = gtk_check_button_new();
            made.label = Label(wrap, 0.0f, yalign);
            break;
        case ControlKind::kRadio:
            made.unchecked = g_object_ref_sink(gtk_radio_button_new(nullptr));
            made.widget = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(made.unchecked));
            made.label = Label(wrap, 0.0f, yalign);
            break;
        case ControlKind::kGroupBox:
            made.widget = gtk_frame_new(nullptr);
            break;
        case ControlKind::kText: {
            const std::uint32_t align = control.style & kStaticAlignMask;
            made.widget = made.label = Label(true,
                                             align == 1   ? 0.5f
                                             : align == 2 ? 1.0f
                                                          : 0.0f,
                                             0.0f);
            break;
        }
        case ControlKind::kNotice: {
            made.widget = gtk_scrolled_window_new(nullptr, nullptr);
            GtkScrolledWindow* scrolled = GTK_SCROLLED_WINDOW(made.widget);
            gtk_scrolled_window_set_policy(
                scrolled, GTK_POLICY_NEVER,
                (control.style & kVerticalScroll) != 0 ? GTK_POLICY_ALWAYS : GTK_POLICY_NEVER);
            gtk_scrolled_window_set_overlay_scrolling(scrolled, FALSE);
            gtk_scrolled_window_set_shadow_type(
                scrolled, (control.style & kBorder) != 0 ? GTK_SHADOW_IN : GTK_SHADOW_NONE);
            made.input = GTK_WIDGET(g_object_new(NoticeViewType(), nullptr));
            GtkTextView* view = GTK_TEXT_VIEW(made.input);
            gtk_text_view_set_editable(view, dialog_manager::Editable(control));
            gtk_text_view_set_wrap_mode(view, GTK_WRAP_WORD_CHAR);
            gtk_text_view_set_left_margin(view, 2);
            gtk_text_view_set_right_margin(view, 2);
            gtk_container_add(GTK_CONTAINER(made.widget), made.input);
            break;
        }
        case ControlKind::kBox:
            made.widget = gtk_entry_new();
            gtk_entry_set_has_frame(GTK_ENTRY(made.widget), (control.style & kBorder) != 0);
            gtk_entry_set_width_chars(GTK_ENTRY(made.widget), 0);
            gtk_editable_set_editable(GTK_EDITABLE(made.widget), dialog_manager::Editable(control));
            break;
    }
    if (made.input == nullptr) made.input = made.widget;
    if (made.label != nullptr && made.label != made.widget) {
        gtk_container_add(GTK_CONTAINER(made.widget), made.label);
    }
    if (made.kind == ControlKind::kDefaultButton) {
        gtk_widget_set_can_default(made.widget, TRUE);
        gtk_window_set_default(Window(), made.widget);
    }
    gtk_widget_set_sensitive(made.widget, (control.style & kDisabled) == 0);
    const PixelRect rect = ToPixels(units_, control.x, control.y, control.width, control.height);
    gtk_fixed_put(GTK_FIXED(client_), made.widget, rect.x, rect.y);
    gtk_widget_set_size_request(made.widget, rect.width, rect.height);
    gtk_widget_show_all(made.widget);
    // Kept until this object goes, also when the window was destroyed before.
    g_object_ref(made.widget);
    if (made.input != made.widget) g_object_ref(made.input);
}

void TemplateWindow::SetText(TemplateControl& control, const char* text) {
    control.set_text = text;
    gchar* valid = g_utf8_make_valid(text, -1);
    control.shown_text = valid;
    g_free(valid);
    const char* shown = control.shown_text.c_str();
    if (control.kind == ControlKind::kGroupBox) {
        gtk_frame_set_label(GTK_FRAME(control.widget), shown);
    } else if (control.kind == ControlKind::kNotice) {
        // A new text starts with the cursor at its start, as an edit control's does. The
        // cursor is placed before the view has the buffer: moved in the view's buffer before
        // the window is shown, it makes the view lay the text out for nothing (3 ms of the
        // 90 to the consent window, measured).
        GtkTextBuffer* buffer = gtk_text_buffer_new(nullptr);
        gtk_text_buffer_set_text(buffer, shown, -1);
        GtkTextIter start;
        gtk_text_buffer_get_start_iter(buffer, &start);
        gtk_text_buffer_place_cursor(buffer, &start);
        gtk_text_view_set_buffer(GTK_TEXT_VIEW(control.input), buffer);
        g_object_unref(buffer);
    } else if (control.kind == ControlKind::kBox) {
        gtk_entry_set_text(GTK_ENTRY(control.widget), shown);
    } else {
        gtk_label_set_text(GTK_LABEL(control.label), shown);
        if (control.names != nullptr) {
            atk_object_set_name(gtk_widget_get_accessible(control.names), shown);
        }
    }
}

std::string TemplateWindow::Text(const TemplateControl& control) const {
    gchar* shown = nullptr;
    if (control.kind == ControlKind::kGroupBox) {
        shown = g_strdup(gtk_frame_get_label(GTK_FRAME(control.widget)));
    } else if (control.kind == ControlKind::kNotice) {
        GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(control.input));
        GtkTextIter start;
        GtkTextIter end;
        gtk_text_buffer_get_bounds(buffer, &start, &end);
        shown = gtk_text_buffer_get_text(buffer, &start, &end, TRUE);
    } else if (control.kind == ControlKind::kBox) {
        shown = g_strdup(gtk_entry_get_text(GTK_ENTRY(control.widget)));
    } else {
        shown = g_strdup(gtk_label_get_text(GTK_LABEL(control.label)));
    }
    const std::string text = shown != nullptr ? shown : "";
    g_free(shown);
    // Unchanged since it was set: the bytes that were set, valid UTF-8 or not.
    return text == control.shown_text ? control.set_text : text;
}

}  // namespace wbh::platform::gtk
