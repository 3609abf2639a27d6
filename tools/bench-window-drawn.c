/* The stopwatch for a program's first window, for tools/bench: runs the command and prints the
   microseconds from just before it starts until its first top-level window is on the screen,
   mapped and drawn (the first damage to the window's contents after it was mapped, which
   comes when the program has painted its first frame into it), then ends the command and
   whatever it started. Both programs that tools/bench compares are timed by this same
   watcher, on an X display without a window manager (which would reparent the window).
   Exit code 1, and no figure, when no window is drawn within 60 seconds.
   Usage: bench-window-drawn COMMAND... */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long Microseconds(const struct timespec* since) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - since->tv_sec) * 1000000L + (now.tv_nsec - since->tv_nsec) / 1000;
}

/* Damage cannot be asked of an input-only window, nor of one already gone: not this
   watcher's business. */
static int Ignore(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fputs("usage: bench-window-drawn COMMAND...\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    int damage_event = 0;
    int damage_error = 0;
    if (display == NULL || !XDamageQueryExtension(display, &damage_event, &damage_error)) {
        fputs("bench-window-drawn: no X display with the DAMAGE extension\n", stderr);
        return 2;
    }
    XSetErrorHandler(Ignore);
    /* Every window made at the top, before the command can draw anything. */
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    /* What the command starts (the program's display probes) is reaped here too. */
    prctl(PR_SET_CHILD_SUBREAPER, 1);

    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0) return 2;
    setpgid(child, child);

    Window mapped = None;
    long drawn = -1;
    struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
    while (drawn < 0 && Microseconds(&start) < 60000000L) {
        if (XPending(display) == 0) {
            poll(&connection, 1, 100);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && !event.xcreatewindow.override_redirect) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportRawRectangles);
        } else if (event.type == MapNotify && mapped == None && !event.xmap.override_redirect) {
            mapped = event.xmap.window;
        } else if (event.type == damage_event + XDamageNotify && mapped != None &&
                   ((XDamageNotifyEvent*)&event)->drawable == mapped) {
            drawn = Microseconds(&start);
        }
    }
    kill(-child, SIGKILL);
    while (waitpid(-1, NULL, 0) > 0 || errno == EINTR) {
    }
    if (drawn < 0) {
        fprintf(stderr, "bench-window-drawn: no window drawn by %s\n", argv[1]);
        return 1;
    }
    printf("%ld\n", drawn);
    return 0;
}
