// Opening GTK's display only once it has answered, and going on without it once it has gone.
// GDK answers a failed X connection with _exit(1); Xlib lets a program take over both its I/O
// error handler and the exit after it (XSetIOErrorExitHandler, libX11 1.7).
#include "platform/posix/dialogs/gtk_display.h"

#include <X11/Xlib.h>
#include <fontconfig/fontconfig.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <csetjmp>
#include <utility>

namespace wbh::platform::gtk {
namespace {

// One display per process, and once gone it does not come back: the loss is the process's.
bool& LostFlag() {
    static bool lost = false;
    return lost;
}

// Xlib calls the I/O error handler once the connection has failed (GDK's prints and ends the
// process), then the exit handler (Xlib's own calls exit), which leaves the running stretch's
// GTK calls (DisplayStretch::Leave), or returns outside any.
int NoteLoss(Display*) {
    LostFlag() = true;
    return 0;
}
void GoOn(Display*, void*) {}

// Fontconfig reads its configuration and its caches of the installed fonts once per process,
// before any text can be measured, and Pango's font map is made on them: on the other core,
// while GTK reads its theme. The map is returned for the window's thread (Pango keeps one
// default map per thread).
gpointer LoadFonts(gpointer) {
    FcInit();
    return pango_cairo_font_map_new();
}

void TakeOverLoss() {
    GdkDisplay* display = gdk_display_get_default();
    if (!GDK_IS_X11_DISPLAY(display)) return;
    XSetIOErrorHandler(NoteLoss);
    XSetIOErrorExitHandler(gdk_x11_display_get_xdisplay(display), GoOn, nullptr);
}

}  // namespace

bool SessionOpen(posix::DisplaysFound& displays) {
    static const bool open = [&] {
        // Only the displays that answered: GDK would wait on a silent one for ever.
        const char* backends = displays.Backends();
        if (backends[0] == '\0') return false;
        gdk_set_allowed_backends(backends);
        // The program's text handling is the C locale's; GTK would take the user's.
        gtk_disable_setlocale();
        const bool opened = gtk_init_check(nullptr, nullptr) != FALSE;
        displays.Release();
        if (!opened) return false;
        // The theme's style sheets, read when the settings are first asked for, take longer
        // than the fonts, which load meanwhile. (Loaded while GTK opened the display, they
        // slowed it down by more than they took.)
        GThread* fonts = g_thread_try_new("wbh-fonts", LoadFonts, nullptr, nullptr);
        gtk_settings_get_default();
        if (fonts != nullptr) {
            // This thread's default from now on, before any text is laid out: GTK lays the
            // windows' texts out with it.
            PangoFontMap* map = static_cast<PangoFontMap*>(g_thread_join(fonts));
            pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(map));
            g_object_unref(map);
        }
        TakeOverLoss();
        return true;
    }();
    return open;
}

bool DisplayLost() { return LostFlag(); }

DisplayStretch::DisplayStretch() {
    GdkDisplay* display = gdk_display_get_default();
    x_ = GDK_IS_X11_DISPLAY(display) ? gdk_x11_display_get_xdisplay(display) : nullptr;
    if (x_ != nullptr) XSetIOErrorExitHandler(x_, Leave, this);
}

// Setting the handler only stores it (no request): right also after the loss.
DisplayStretch::~DisplayStretch() {
    if (x_ != nullptr) XSetIOErrorExitHandler(x_, GoOn, nullptr);
}

void DisplayStretch::Leave(Display*, void* self) {
    std::jmp_buf* const target = static_cast<DisplayStretch*>(self)->target_;
    if (target != nullptr) std::longjmp(*target, 1);
}

bool DisplayStretch::Run(FunctionRef<void()> gtk_calls) {
    if (DisplayLost()) return false;
    std::jmp_buf target;
    std::jmp_buf* const outer = target_;
    if (setjmp(target) == 0) {
        target_ = &target;
        gtk_calls();
    }
    target_ = outer;
    return !DisplayLost();
}

void DisplayStretch::OwnCode(FunctionRef<void()> code) {
    std::jmp_buf* const outer = std::exchange(target_, nullptr);
    code();
    target_ = outer;
    if (outer != nullptr && DisplayLost()) std::longjmp(*outer, 1);
}

}  // namespace wbh::platform::gtk
