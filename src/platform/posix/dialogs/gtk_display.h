// The display that the GTK windows are shown on: opened only once it has answered, and its loss
// taken over from GDK, which would end the process at once and lose what the run has still to
// write.
#pragma once

#include <csetjmp>

#include "common/function_ref.h"
#include "platform/posix/dialogs/window_module.h"

struct _XDisplay;

namespace wbh::platform::gtk {

// Whether a graphical session is open: one of `displays` answered, and GTK opens it (quietly: a
// display that cannot be opened is only a "no"), after which `displays` are released. Tried
// once per process, as GTK opens its display once. The loss of the display while GTK opens it
// is still GDK's to meet (it ends the process); from then on it is taken over, see
// DisplayLost.
bool SessionOpen(posix::DisplaysFound& displays);

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
