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

#include "platform/posix/dialogs/gtk_template_window.h"

namespace wbh::platform::gtk {
namespace {

// The displays that answered a probe of the caller's, when one was given.
std::optional<std::string> g_backends;

// Xlib's I/O error handler is called once the connection has failed; the process then ends,
// and its program hears that the window has gone.
int EndQuietly(Display*) { _exit(1); }

// What the font thread is given, and gives back.
struct Fonts {
    const DialogTemplate& first;
    cairo_font_options_t* options;  // the screen's, as GTK will set them
    double resolution;
    PangoFontMap* map = nullptr;
};

// Fontconfig reads its configuration and its caches of the installed fonts once per process,
// before any text can be measured, and Pango's font map is made on them: on the other core,
// while GTK reads its theme. The map goes to the window's thread (Pango keeps one default map
// per thread) with the first window's font loaded in it, in the options and resolution that the
// screen's contexts will have: GTK then finds it there as it measures the window (3.6 ms of the
// 88 to the consent window, measured). In options that GTK does not choose, it is loaded for
// nothing.
gpointer LoadFonts(gpointer data) {
    Fonts& fonts = *static_cast<Fonts*>(data);
    FcInit();
    fonts.map = pango_cairo_font_map_new();
    PangoContext* context = pango_font_map_create_context(fonts.map);
    pango_cairo_context_set_font_options(context, fonts.options);
    pango_cairo_context_set_resolution(context, fonts.resolution);
    MeasureUnits(context, fonts.first);
    g_object_unref(context);
    return nullptr;
}

// A setting of the display's, as GtkSettings reads it: -1 or "" when the display has none.
int IntSetting(GdkScreen* screen, const char* name) {
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_TYPE_INT);
    const int setting = gdk_screen_get_setting(screen, name, &value) ? g_value_get_int(&value) : -1;
    g_value_unset(&value);
    return setting;
}
std::string StringSetting(GdkScreen* screen, const char* name) {
    GValue value = G_VALUE_INIT;
    g_value_init(&value, G_TYPE_STRING);
    const char* text = gdk_screen_get_setting(screen, name, &value) ? g_value_get_string(&value)
                                                                     : nullptr;
    const std::string setting = text != nullptr ? text : "";
    g_value_unset(&value);
    return setting;
}

}  // namespace

void UseDisplays(const char* backends) { g_backends = backends; }

cairo_font_options_t* ExpectedFontOptions(GdkScreen* screen) {
    const int antialias = IntSetting(screen, "gtk-xft-antialias");
    const int hinting = IntSetting(screen, "gtk-xft-hinting");
    const std::string style = StringSetting(screen, "gtk-xft-hintstyle");
    const std::string order = StringSetting(screen, "gtk-xft-rgba");
    cairo_hint_style_t hint_style = hinting == 0 ? CAIRO_HINT_STYLE_NONE : CAIRO_HINT_STYLE_DEFAULT;
    if (hinting == 1) {
        if (style == "hintnone") hint_style = CAIRO_HINT_STYLE_NONE;
        if (style == "hintslight") hint_style = CAIRO_HINT_STYLE_SLIGHT;
        if (style == "hintmedium") hint_style = CAIRO_HINT_STYLE_MEDIUM;
        if (style == "hintfull") hint_style = CAIRO_HINT_STYLE_FULL;
    }
    cairo_subpixel_order_t subpixels = CAIRO_SUBPIXEL_ORDER_DEFAULT;
    if (order == "rgb") subpixels = CAIRO_SUBPIXEL_ORDER_RGB;
    if (order == "bgr") subpixels = CAIRO_SUBPIXEL_ORDER_BGR;
    if (order == "vrgb") subpixels = CAIRO_SUBPIXEL_ORDER_VRGB;
    if (order == "vbgr") subpixels = CAIRO_SUBPIXEL_ORDER_VBGR;
    cairo_antialias_t smoothing = antialias == 0 ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT;
    if (antialias == 1) {
        smoothing = subpixels != CAIRO_SUBPIXEL_ORDER_DEFAULT ? CAIRO_ANTIALIAS_SUBPIXEL
                                                              : CAIRO_ANTIALIAS_GRAY;
    }
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, hint_style);
    cairo_font_options_set_subpixel_order(options, subpixels);
    cairo_font_options_set_antialias(options, smoothing);
    return options;
}

bool SessionOpen(const DialogTemplate& first) {
    static const bool open = [&first] {
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
        GdkScreen* screen = gdk_screen_get_default();
        Fonts fonts{first, ExpectedFontOptions(screen), gdk_screen_get_resolution(screen)};
        GThread* loading = g_thread_try_new("wbh-fonts", LoadFonts, &fonts, nullptr);
        gtk_settings_get_default();
        if (loading != nullptr) {
            // This thread's default from now on, before any text is laid out: GTK lays the
            // windows' texts out with it.
            g_thread_join(loading);
            pango_cairo_font_map_set_default(PANGO_CAIRO_FONT_MAP(fonts.map));
            g_object_unref(fonts.map);
        }
        cairo_font_options_destroy(fonts.options);
        // Set after GDK's own, which it sets as it opens the display.
        if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) XSetIOErrorHandler(EndQuietly);
        return true;
    }();
    return open;
}

}  // namespace wbh::platform::gtk
