/* Asks an X window to close as a window manager's close box does (WM_DELETE_WINDOW).
 * Usage: close_request WINDOW-ID */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    Display* display = argc == 2 ? XOpenDisplay(NULL) : NULL;
    if (display == NULL) return 2;
    XClientMessageEvent message = {.type = ClientMessage, .display = display, .format = 32};
    message.window = strtoul(argv[1], NULL, 0);
    message.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    const Status sent = XSendEvent(display, message.window, False, 0, (XEvent*)&message);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
