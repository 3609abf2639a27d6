/* Asks an X window to close as a window manager's close box does: the WM_DELETE_WINDOW
 * message of the WM_PROTOCOLS protocol. Usage: close_request WINDOW-ID */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) return 1;
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = strtoul(argv[1], NULL, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
