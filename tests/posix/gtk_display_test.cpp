// Which displays are tried (on the X screen of tests/e2e/on_xvfb.sh, beside Wayland sockets of
// the test's own): only those that answer are allowed to GDK (silent ones: linux_dialogs_test.sh).
#include "platform/posix/dialogs/gtk_display.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/saved_environment.h"
#include "support/temp_dir.h"

// Last: Xlib's macros (None, Bool) would break GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace wbh::platform {
namespace {

// A Wayland compositor in a child process that answers a round trip and nothing else: each
// connection's first request, wl_display.sync, gets its callback's done event.
class AnsweringCompositor {
public:
    explicit AnsweringCompositor(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(0, bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address));
        EXPECT_EQ(0, listen(listener_, 16)) << path;
        child_ = fork();
        if (child_ != 0) return;
        for (;;) {
            const int client = accept(listener_, nullptr, nullptr);
            std::uint32_t sync[3];
            if (client >= 0 && read(client, sync, sizeof sync) == sizeof sync) {
                const std::uint32_t done[3] = {sync[2], (12u << 16) | 0, 0};
                (void)!write(client, done, sizeof done);
            }
            close(client);
        }
    }
    ~AnsweringCompositor() {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
        close(listener_);
    }
    AnsweringCompositor(const AnsweringCompositor&) = delete;
    AnsweringCompositor& operator=(const AnsweringCompositor&) = delete;

private:
    const int listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    pid_t child_ = -1;
};

TEST(GtkDisplay, OnlyTheDisplaysThatAnswerAreOpened) {
    test::SavedEnvironment saved{"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
    test::TempDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    const AnsweringCompositor compositor(runtime.File("answering"));
    setenv("WAYLAND_DISPLAY", "answering", 1);
    EXPECT_EQ("wayland,x11", gtk::DisplayProbe(5000).Backends());
    setenv("WAYLAND_DISPLAY", "missing", 1);
    unsetenv("DISPLAY");
    EXPECT_EQ("", gtk::DisplayProbe(5000).Backends());
}

// The first window's font is loaded while GTK reads its theme, in the options GTK then gives the
// screen: here those of an X screen whose resources ask for slight hinting and subpixels (the
// process's first session: the display's settings are read once).
TEST(GtkDisplay, FontsAreLoadedInTheOptionsGtkGivesTheScreen) {
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, x);
    const char asked[] = "Xft.hintstyle: hintslight\nXft.rgba: bgr\n";
    XChangeProperty(x, DefaultRootWindow(x), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(asked), sizeof asked - 1);
    XSync(x, False);
    ASSERT_TRUE(gtk::SessionOpen(ProgramResources().dialogs.at(100)));
    XDeleteProperty(x, DefaultRootWindow(x), XA_RESOURCE_MANAGER);
    XCloseDisplay(x);
    GdkScreen* screen = gdk_screen_get_default();
    cairo_font_options_t* expected = gtk::ExpectedFontOptions(screen);
    const cairo_font_options_t* given = gdk_screen_get_font_options(screen);
    EXPECT_TRUE(cairo_font_options_equal(expected, given));
    EXPECT_EQ(CAIRO_HINT_STYLE_SLIGHT, cairo_font_options_get_hint_style(given));
    EXPECT_EQ(CAIRO_ANTIALIAS_SUBPIXEL, cairo_font_options_get_antialias(given));
    cairo_font_options_destroy(expected);
}

}  // namespace
}  // namespace wbh::platform
