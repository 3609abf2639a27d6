// Opening GTK's display only once it has answered. GDK answers a failed X connection with a
// message and _exit(1); once the window's process has its display, the end is kept quiet.
#include "platform/posix/dialogs/gtk_display.h"

#include <X11/Xlib.h>
#include <fontconfig/fontconfig.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace wbh::platform::gtk {
namespace {

// The displays that answered a probe of the caller's, when one was given.
std::optional<std::string> g_backends;

// Xlib's I/O error handler is called once the connection has failed; the process then ends,
// and its program hears that the window has gone.
int EndQuietly(Display*) { _exit(1); }

// Fontconfig reads its configuration and its caches of the installed fonts once per process,
// before any text can be measured, and Pango's font map is made on them: on the other core,
// while GTK reads its theme. The map is returned for the window's thread (Pango keeps one
// default map per thread).
gpointer LoadFonts(gpointer) {
    FcInit();
    return pango_cairo_font_map_new();
}

}  // namespace

void UseDisplays(const char* backends) { g_backends = backends; }

bool SessionOpen() {
    static const bool open = [] {
        // Only the displays that answered: GDK would wait on a silent one for ever.
        std::optional<DisplayProbe> own;
        const std::string backends =
            g_backends ? *g_backends : own.emplace(posix::kDisplayAnswerMs).Backends();
        if (backends.empty()) return false;
        gdk_set_allowed_backends(backends.c_str());
        // The program's text handling is the C locale's; GTK would take the user's.
        gtk_disable_setlocale();
        // GDK's X11 backend loads the system's OpenGL (Mesa and LLVM, some thirty libraries) as
        // it opens the display, only to choose visuals for GL, which no dialog draws with. With
        // the files in memory that costs little; on a busy machine it took half the time to the
        // window. A user's own setting stays theirs.
        g_setenv("GDK_GL", "disable", FALSE);
        const bool opened = gtk_init_check(nullptr, nullptr) != FALSE;
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
        // Set after GDK's own, which it sets as it opens the display.
        if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(EndQuietly);
        return true;
    }();
    return open;
}

}  // namespace wbh::platform::gtk
