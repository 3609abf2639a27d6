// The display that the GTK windows are shown on: opened only once it has answered, and its loss
// taken over from GDK, which would end the process at once and lose what the run has still to
// write.
#pragma once

#include <sys/types.h>

#include <csetjmp>
#include <string>

#include "common/function_ref.h"

struct _XDisplay;

namespace wbh::platform::gtk {

// Whether a graphical session is open: WAYLAND_DISPLAY or DISPLAY is set, names a display that
// answers within a few seconds, and GTK opens it (quietly: a display that cannot be opened is
// only a "no"). Probed once per process, as GTK opens its display once. The loss of the display
// while GTK opens it is still GDK's to meet (it ends the process); from then on it is taken
// over, see DisplayLost.
bool SessionOpen();

// The displays named by the environment, each tried in a child process of its own, which is
// killed at `deadline_ms`: a display that accepts the connection and then says nothing (a stale
// forwarded display) would otherwise hold the run for ever. A child whose display answered keeps
// its connection until the probe is destroyed (or the program ends): an X server left without
// clients resets, and refuses connections meanwhile, so GTK must open its own first.
class DisplayProbe {
public:
    explicit DisplayProbe(int deadline_ms);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // GDK's backends whose display answered, in GDK's order of preference, as
    // gdk_set_allowed_backends takes them: "wayland" when WAYLAND_DISPLAY is set (and
    // XDG_RUNTIME_DIR, as GDK needs) and the compositor answers a round trip, "x11" when DISPLAY
    // is set and the X server accepts the connection. Empty when none answered.
    const std::string& Backends() const { return backends_; }

private:
    int release_ = -1;  // the answering children read its end of file, then let go
    pid_t held_[2] = {-1, -1};
    std::string backends_;
};

// Whether the open display went away (its X connection failed). From then on nothing may touch
// it: no GTK call is made, and the window open then is left to the process's end. (GDK still
// ends the process when it loses a Wayland display: it has no hook for it.)
bool DisplayLost();

// GTK calls that the loss of an X display may leave from the middle. The loss can be met in any
// GTK call that speaks to the display, and GDK would go on with the failed connection as if it
// had answered (it reads replies that never came, and frees what they never gave): the loss
// leaves the calls instead, by a longjmp back to Run. So nothing between Run's frame and GTK
// may need cleaning up (no object with a destructor on the stack); the program's own code that
// GTK calls back within Run goes through OwnCode. On a Wayland display the calls simply run.
// One stretch at a time: it takes over the display's loss while it exists.
class DisplayStretch {
public:
    DisplayStretch();
    ~DisplayStretch();
    DisplayStretch(const DisplayStretch&) = delete;
    DisplayStretch& operator=(const DisplayStretch&) = delete;

    // Runs `gtk_calls` unless the display is lost. False when it is lost, before the calls or
    // during them, which are then left where the loss was met.
    bool Run(FunctionRef<void()> gtk_calls);
    // Runs `code` from within Run's calls without leaving it on a loss (its own GTK calls go
    // through Run, nested); once it has returned, a loss leaves the enclosing Run.
    void OwnCode(FunctionRef<void()> code);

private:
    static void Leave(_XDisplay*, void* self);

    _XDisplay* x_;
    std::jmp_buf* target_ = nullptr;  // the innermost running Run's, none within OwnCode
};

}  // namespace wbh::platform::gtk
