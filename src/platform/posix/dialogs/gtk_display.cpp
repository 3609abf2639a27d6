// Opening GTK's display only once it has answered. GDK answers a failed X connection with a
// message and _exit(1); once the window's process has its display, the end is kept quiet.
#include "platform/posix/dialogs/gtk_display.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <utility>

#include "platform/posix/unique_fd.h"

namespace wbh::platform::gtk {
namespace {

using posix::UniqueFd;

// Long enough for a display across a slow link to take a connection, short enough that a
// reader waiting for a window is not left wondering.
constexpr int kAnswerDeadlineMs = 5000;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// In the child: whether the display takes a connection, as GDK will open it.
bool WaylandAnswers() {
    wl_display* display = wl_display_connect(nullptr);
    return display != nullptr && wl_display_roundtrip(display) >= 0;
}
bool X11Answers() { return XOpenDisplay(nullptr) != nullptr; }

// One display tried in a child process, which writes one byte on the pipe when the display
// answered and then holds its connection until `release` ends: the pipe's end without the byte
// is a "no".
struct Probe {
    const char* backend = nullptr;
    pid_t child = -1;
    UniqueFd answer;
    bool answered = false;
};

void Start(Probe& probe, const char* backend, bool (*answers)(), int release[2]) {
    probe.backend = backend;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    UniqueFd read_end(ends[0]);
    const UniqueFd write_end(ends[1]);
    const pid_t parent = getpid();
    probe.child = fork();
    if (probe.child == 0) {
        // A probe waiting on a silent display would otherwise outlive the window's process,
        // and keep the program's end of their exchange from closing.
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(1);
        // Only the program holds the release's writing end: its end of file comes when the
        // program lets go, or ends in any way.
        close(release[1]);
        // _exit: nothing of the parent's (buffered output, exit handlers) runs a second time.
        const char yes = 1;
        if (!answers() || write(write_end.Get(), &yes, 1) != 1) _exit(1);
        char byte;
        while (read(release[0], &byte, 1) < 0 && errno == EINTR) {
        }
        _exit(0);
    }
    if (probe.child > 0) probe.answer = std::move(read_end);
}

void Reap(pid_t child) {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Takes the answers that come before the deadline; a child still silent then is killed. Every
// child that did not answer is waited for; those that did are the caller's.
void Collect(Probe* probes, int count, int deadline_ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadline_ms);
    for (;;) {
        pollfd waiting[2];
        Probe* of[2];
        nfds_t n = 0;
        for (int i = 0; i < count; ++i) {
            if (!probes[i].answer.Valid()) continue;
            waiting[n] = {probes[i].answer.Get(), POLLIN, 0};
            of[n++] = &probes[i];
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (n == 0 || left <= 0) break;
        if (poll(waiting, n, static_cast<int>(left)) < 0 && errno != EINTR) break;
        for (nfds_t i = 0; i < n; ++i) {
            if (waiting[i].revents == 0) continue;
            char byte = 0;
            of[i]->answered = read(waiting[i].fd, &byte, 1) == 1;
            of[i]->answer = UniqueFd();
        }
    }
    for (int i = 0; i < count; ++i) {
        if (probes[i].child <= 0 || probes[i].answered) continue;
        if (probes[i].answer.Valid()) kill(probes[i].child, SIGKILL);
        Reap(probes[i].child);
    }
}

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

DisplayProbe::DisplayProbe(int deadline_ms) {
    int release[2];
    if (pipe2(release, O_CLOEXEC) != 0) return;
    const UniqueFd release_end(release[0]);
    release_ = release[1];
    Probe probes[2];
    int count = 0;
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    if (Set("WAYLAND_DISPLAY") && Set("XDG_RUNTIME_DIR")) {
        Start(probes[count++], "wayland", WaylandAnswers, release);
    }
    if (Set("DISPLAY")) Start(probes[count++], "x11", X11Answers, release);
    Collect(probes, count, deadline_ms);
    for (int i = 0; i < count; ++i) {
        if (!probes[i].answered) continue;
        held_[i] = probes[i].child;
        if (!backends_.empty()) backends_ += ',';
        backends_ += probes[i].backend;
    }
}

DisplayProbe::~DisplayProbe() {
    if (release_ >= 0) close(release_);
    for (const pid_t child : held_) {
        if (child > 0) Reap(child);
    }
}

bool SessionOpen() {
    static const bool open = [] {
        // Only the displays that answered: GDK would wait on a silent one for ever.
        const DisplayProbe probe(kAnswerDeadlineMs);
        if (probe.Backends().empty()) return false;
        gdk_set_allowed_backends(probe.Backends().c_str());
        // The program's text handling is the C locale's; GTK would take the user's.
        gtk_disable_setlocale();
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
