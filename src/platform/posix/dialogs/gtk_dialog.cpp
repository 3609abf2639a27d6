// What a Win32 dialog does for its controls, done for the GTK window: auto radio buttons
// (several per group may be unchecked, or checked), the keyboard of the dialog manager (Enter
// presses the default button, Escape and the close box send IDCANCEL, the arrow keys move
// through a group of radio buttons, Tab goes through the tab stops in template order), the
// outer frame's position, and the modal run. Changes made by the handler are never reported
// back to it as clicks, as CheckDlgButton's are not.
#include "platform/posix/dialogs/gtk_dialog.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <string>

#include "common/no_throw.h"
#include "platform/posix/dialogs/dialog_styles.h"
#include "platform/posix/dialogs/gtk_template_window.h"

namespace wbh::platform::gtk {
namespace {

using namespace styles;

constexpr char kIndexKey[] = "wbh-control";  // a widget's index among the controls, + 1

class WindowDialog final : public Dialog {
public:
    WindowDialog(const DialogTemplate& layout, DialogHandler& handler)
        : window_(layout), handler_(handler) {
        std::vector<TemplateControl>& controls = window_.Controls();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            GtkWidget* input = controls[i].input;
            g_object_set_data(G_OBJECT(input), kIndexKey, GSIZE_TO_POINTER(i + 1));
            if (GTK_IS_BUTTON(input)) {
                g_signal_connect(input, "clicked", G_CALLBACK(Clicked), this);
            }
            if (GTK_IS_ENTRY(input)) {
                g_signal_connect(input, "changed", G_CALLBACK(Changed), this);
            }
        }
        GtkWidget* window = GTK_WIDGET(window_.Window());
        g_signal_connect(window, "key-press-event", G_CALLBACK(KeyPressed), this);
        g_signal_connect(window, "delete-event", G_CALLBACK(CloseAsked), this);
        g_signal_connect(window, "destroy", G_CALLBACK(Destroyed), this);
    }

    ~WindowDialog() {
        g_signal_handlers_disconnect_by_data(window_.Window(), this);
        for (TemplateControl& control : window_.Controls()) {
            g_signal_handlers_disconnect_by_data(control.input, this);
        }
    }

    void Check(int id, bool checked) override {
        TemplateControl* control = window_.Find(id);
        if (control == nullptr) return;
        ++quiet_;
        if (control->kind == ControlKind::kCheckBox) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(control->input), checked);
        } else if (control->kind == ControlKind::kRadio) {
            gtk_toggle_button_set_active(
                GTK_TOGGLE_BUTTON(checked ? control->input : control->unchecked), TRUE);
        }
        --quiet_;
        UpdateTabStops();
    }
    bool IsChecked(int id) override {
        const TemplateControl* control = window_.Find(id);
        bool checked = false;
        if (control != nullptr && Checkable(*control)) {
            checked = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control->input));
        }
        return checked;
    }
    void Enable(int id, bool enabled) override {
        if (TemplateControl* control = window_.Find(id)) {
            gtk_widget_set_sensitive(control->widget, enabled);
        }
    }
    void SetText(int id, const char* text) override {
        TemplateControl* control = window_.Find(id);
        if (control == nullptr) return;
        ++quiet_;
        window_.SetText(*control, text);
        --quiet_;
    }
    int GetText(int id, char* buffer, int size) override {
        const TemplateControl* control = window_.Find(id);
        return dialog_manager::CopyText(control != nullptr ? window_.Text(*control) : "", buffer,
                                        size);
    }
    void End(int result) override {
        if (ended_) return;
        ended_ = true;
        result_ = result;
    }
    // The frame around the window as the display knows it: until a window manager has framed
    // the shown window, the window itself; before it is shown (and made on the display), the
    // size GTK will make it, as it is not resizable.
    WindowRect Bounds() override {
        GdkRectangle frame{};
        GtkWidget* widget = GTK_WIDGET(window_.Window());
        if (GdkWindow* window = gtk_widget_get_window(widget)) {
            gdk_window_get_frame_extents(window, &frame);
        } else {
            GtkRequisition size;
            gtk_widget_get_preferred_size(widget, nullptr, &size);
            frame.width = size.width;
            frame.height = size.height;
        }
        return {frame.x, frame.y, frame.x + frame.width, frame.y + frame.height};
    }
    ScreenSize Screen() override {
        GdkRectangle area{};
        GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window_.Window()));
        GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
        if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
        if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &area);
        return {area.width, area.height};
    }
    // The window keeps its template's size: it is not resizable. A window manager frames the
    // window only once it is shown, so Bounds before that is the bare window: the window
    // manager is asked to keep the rectangle's centre (ICCCM's centre gravity), so the frame
    // is centred where the bare window would have been.
    void Move(int x, int y, int, int) override {
        gtk_window_set_gravity(window_.Window(), GDK_GRAVITY_CENTER);
        gtk_window_move(window_.Window(), x, y);
    }
    void Focus(int id) override {
        TemplateControl* control = window_.Find(id);
        if (control != nullptr) FocusOn(*control);
    }

    // Shows the window and runs it until End, or until the window goes.
    long Run() {
        // The handler places the window before it is shown. It is made on the display only
        // then, with what the handler set: made before, its controls would be laid out and
        // styled twice.
        Tell([&] { handler_.OnInit(*this); });
        if (ended_) return result_;
        UpdateTabStops();
        gtk_window_present(window_.Window());
        // End comes while an event is handled, after which the iteration returns.
        while (!ended_) g_main_context_iteration(nullptr, TRUE);
        return result_;
    }

    // The window is gone from the screen before the program goes on.
    void Close() {
        window_.Destroy();
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        gdk_display_sync(gdk_display_get_default());
    }

private:
    static bool Checkable(const TemplateControl& control) {
        return control.kind == ControlKind::kCheckBox || control.kind == ControlKind::kRadio;
    }

    void FocusOn(TemplateControl& control) {
        gtk_widget_grab_focus(control.input);
        if (control.kind == ControlKind::kBox) {
            // GTK selects an entry's whole text when it takes the focus.
            gtk_editable_select_region(GTK_EDITABLE(control.input), 0, 0);
        } else if (control.kind == ControlKind::kNotice) {
            // The cursor goes back to the start, and nothing stays selected. A cursor already
            // there stays: moving it lays the text out.
            GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(control.input));
            GtkTextIter cursor;
            GtkTextIter bound;
            if (gtk_text_buffer_get_selection_bounds(buffer, &cursor, &bound) ||
                !gtk_text_iter_is_start(&cursor)) {
                gtk_text_buffer_get_start_iter(buffer, &cursor);
                gtk_text_buffer_place_cursor(buffer, &cursor);
            }
            GtkAdjustment* lines = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(control.input));
            if (lines != nullptr) gtk_adjustment_set_value(lines, gtk_adjustment_get_lower(lines));
        }
    }

    // Runs a handler call; one that runs out of memory ends the dialog as one that failed.
    template <typename Call>
    void Tell(Call&& call) {
        if (!NoThrow(false, [&] {
                call();
                return true;
            }))
            End(-1);
    }
    void Notify(int id, int code) {
        if (!ended_) Tell([&] { handler_.OnCommand(*this, id, code); });
    }
    TemplateControl& ControlOf(gpointer widget) {
        const std::size_t index =
            GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(widget), kIndexKey)) - 1;
        return window_.Controls()[index];
    }
    TemplateControl* FocusedControl() {
        GtkWidget* focus = gtk_window_get_focus(window_.Window());
        if (focus == nullptr || g_object_get_data(G_OBJECT(focus), kIndexKey) == nullptr) {
            return nullptr;
        }
        return &ControlOf(focus);
    }

    dialog_manager::Range GroupOf(std::size_t index) const {
        return dialog_manager::GroupOf(window_.Layout(), index);
    }
    std::size_t IndexOf(const TemplateControl& control) {
        return static_cast<std::size_t>(&control - window_.Controls().data());
    }

    // Tab goes through the controls with WS_TABSTOP in template order; in a group of radio
    // buttons, through the checked one (the template's tab stop while none is).
    void UpdateTabStops() {
        std::vector<TemplateControl>& controls = window_.Controls();
        GList* chain = nullptr;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            bool stop = (controls[i].layout->style & kTabStop) != 0;
            if (controls[i].kind == ControlKind::kRadio) {
                const auto [first, end] = GroupOf(i);
                bool any_checked = false;
                for (std::size_t j = first; j < end; ++j) any_checked |= RadioChecked(j);
                if (any_checked) stop = RadioChecked(i);
            }
            if (stop) chain = g_list_append(chain, controls[i].widget);
        }
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_container_set_focus_chain(GTK_CONTAINER(window_.Client()), chain);
        G_GNUC_END_IGNORE_DEPRECATIONS
        g_list_free(chain);
    }
    bool RadioChecked(std::size_t index) {
        const TemplateControl& control = window_.Controls()[index];
        return control.kind == ControlKind::kRadio &&
               gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control.input));
    }

    // A click by the reader. GTK has already checked a radio button, or toggled a check box.
    static void Clicked(GtkWidget* widget, gpointer self_pointer) {
        auto* self = static_cast<WindowDialog*>(self_pointer);
        if (self->quiet_ > 0) return;
        TemplateControl& control = self->ControlOf(widget);
        if (control.kind == ControlKind::kRadio) {
            ++self->quiet_;
            dialog_manager::ClickRadio(
                self->window_.Layout(), self->IndexOf(control), [&](std::size_t i) {
                    gtk_toggle_button_set_active(
                        GTK_TOGGLE_BUTTON(self->window_.Controls()[i].unchecked), TRUE);
                });
            --self->quiet_;
            self->UpdateTabStops();
        }
        self->Notify(control.layout->id, kClicked);
    }

    static void Changed(GtkWidget* widget, gpointer self_pointer) {
        auto* self = static_cast<WindowDialog*>(self_pointer);
        if (self->quiet_ == 0) self->Notify(self->ControlOf(widget).layout->id, kEditChanged);
    }

    static gboolean CloseAsked(GtkWidget*, GdkEvent*, gpointer self_pointer) {
        static_cast<WindowDialog*>(self_pointer)->Notify(kCancel, kClicked);
        return TRUE;
    }

    static void Destroyed(GtkWidget*, gpointer self_pointer) {
        static_cast<WindowDialog*>(self_pointer)->End(-1);
    }

    static gboolean KeyPressed(GtkWidget*, GdkEventKey* event, gpointer self_pointer) {
        auto* self = static_cast<WindowDialog*>(self_pointer);
        switch (event->keyval) {
            case GDK_KEY_Escape:
                self->Notify(kCancel, kClicked);
                return TRUE;
            case GDK_KEY_Return:
            case GDK_KEY_KP_Enter:
            case GDK_KEY_ISO_Enter:
                return self->PressEnter();
            case GDK_KEY_Up:
            case GDK_KEY_Left:
                return self->MoveInGroup(false);
            case GDK_KEY_Down:
            case GDK_KEY_Right:
                return self->MoveInGroup(true);
            default:
                return FALSE;
        }
    }

    // A focused push button takes Enter itself; anywhere else Enter presses the default button,
    // if it is enabled.
    gboolean PressEnter() {
        const TemplateControl* focused = FocusedControl();
        if (focused != nullptr && (focused->kind == ControlKind::kButton ||
                                   focused->kind == ControlKind::kDefaultButton)) {
            return FALSE;
        }
        const std::size_t button = dialog_manager::DefaultButton(window_.Layout());
        if (button < window_.Controls().size()) {
            GtkWidget* widget = window_.Controls()[button].widget;
            if (gtk_widget_is_sensitive(widget)) gtk_button_clicked(GTK_BUTTON(widget));
        }
        return TRUE;
    }

    // From a radio button, the next (or previous) enabled one of its group, round, is focused
    // and clicked, as Windows does for auto radio buttons.
    gboolean MoveInGroup(bool forward) {
        TemplateControl* focused = FocusedControl();
        if (focused == nullptr || focused->kind != ControlKind::kRadio) return FALSE;
        const auto [first, end] = GroupOf(IndexOf(*focused));
        const std::size_t count = end - first;
        std::size_t index = IndexOf(*focused);
        for (std::size_t step = 1; step < count; ++step) {
            index = first + (index - first + (forward ? 1 : count - 1)) % count;
            TemplateControl& next = window_.Controls()[index];
            if (next.kind == ControlKind::kRadio && gtk_widget_is_sensitive(next.widget)) {
                gtk_widget_grab_focus(next.input);
                gtk_button_clicked(GTK_BUTTON(next.input));
                break;
            }
        }
        return TRUE;
    }

    TemplateWindow window_;
    DialogHandler& handler_;
    int quiet_ = 0;  // > 0 while the dialog itself changes controls
    bool ended_ = false;
    int result_ = -1;
};

}  // namespace

long RunWindowDialog(const DialogTemplate& layout, DialogHandler& handler) {
    WindowDialog dialog(layout, handler);
    const long result = dialog.Run();
    dialog.Close();
    return result;
}

}  // namespace wbh::platform::gtk
