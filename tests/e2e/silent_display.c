/* A display server that never answers, as a stale forwarded display: it listens, so that
 * connecting succeeds, and never accepts or says anything. Runs COMMAND with the environment
 * naming it and exits with COMMAND's exit code (125 when no socket could be made).
 *   x11: the abstract socket of the first free display number from 1000 (the socket libxcb
 *        tries first for DISPLAY=:N), DISPLAY=:N, WAYLAND_DISPLAY unset;
 *   wayland: DIR/wayland-silent, XDG_RUNTIME_DIR=DIR, WAYLAND_DISPLAY=wayland-silent, DISPLAY
 *        unset.
 * Usage: silent_display x11|wayland DIR COMMAND ARGS... */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

static int Listen(const struct sockaddr_un* address, socklen_t size) {
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return -1;
    if (bind(listener, (const struct sockaddr*)address, size) == 0 && listen(listener, 16) == 0) {
        return listener;
    }
    close(listener);
    return -1;
}

int main(int argc, char** argv) {
    if (argc < 4) return 125;
    struct sockaddr_un address = {.sun_family = AF_UNIX};
    char name[32];
    int listener = -1;
    if (strcmp(argv[1], "x11") == 0) {
        for (int n = 1000; n < 1100 && listener < 0; ++n) {
            /* An abstract name: a NUL, then the path, counted by the size (no NUL at the end). */
            const int length = snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                                        "/tmp/.X11-unix/X%d", n);
            listener = Listen(&address, offsetof(struct sockaddr_un, sun_path) + 1 + length);
            snprintf(name, sizeof name, ":%d", n);
        }
        setenv("DISPLAY", name, 1);
        unsetenv("WAYLAND_DISPLAY");
    } else if (strcmp(argv[1], "wayland") == 0 &&
               snprintf(address.sun_path, sizeof address.sun_path, "%s/wayland-silent",
                        argv[2]) < (int)sizeof address.sun_path) {
        listener = Listen(&address, sizeof address);
        setenv("XDG_RUNTIME_DIR", argv[2], 1);
        setenv("WAYLAND_DISPLAY", "wayland-silent", 1);
        unsetenv("DISPLAY");
    }
    if (listener < 0) {
        perror("silent_display");
        return 125;
    }
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        perror("silent_display");
        _exit(127);
    }
    int status = 125 << 8;
    if (child > 0) waitpid(child, &status, 0);
    if (address.sun_path[0] != '\0') unlink(address.sun_path);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
