// The displays named by the environment, tried by the program itself while it loads the windows'
// module: loading GTK takes longer than a display takes to answer, so the answers are in by
// the time GTK needs them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "platform/posix/dialogs/window_module.h"
#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {

// Each display is tried in a child process of its own, which loads the display's client library
// itself (the program does not link it) and is killed once `deadline_ms` have passed since the
// probe started: a display that accepts the connection and then says nothing (a stale
// forwarded display) would otherwise hold the run for ever. A child whose display answered
// keeps its connection until Release (or the probe's end, or the program's): an X server left
// without clients resets, and refuses connections meanwhile, so GTK must open its own first.
class DisplayProbe final : public DisplaysFound {
public:
    explicit DisplayProbe(int deadline_ms);
    ~DisplayProbe();
    DisplayProbe(const DisplayProbe&) = delete;
    DisplayProbe& operator=(const DisplayProbe&) = delete;

    // GDK's backends whose display answered, in GDK's order of preference, as
    // gdk_set_allowed_backends takes them: "wayland" when WAYLAND_DISPLAY is set (and
    // XDG_RUNTIME_DIR, as GDK needs) and the compositor answers a round trip, "x11" when DISPLAY
    // is set and the X server accepts the connection. Empty when none answered. The first call
    // waits for the answers (until the deadline at most).
    const char* Backends() override;
    void Release() override;

private:
    struct Child {
        const char* backend = nullptr;
        pid_t pid = -1;   // -1 once it has been waited for
        UniqueFd answer;  // where the child says that its display answered
        bool answered = false;
    };
    void Start(Child& child, const char* backend, bool (*answers)());

    std::chrono::steady_clock::time_point deadline_;
    // The release pipe: the answering children read its end of file, then let go.
    UniqueFd held_, release_;
    Child children_[2];
    int count_ = 0;
    bool collected_ = false;
    std::string backends_;
};

}  // namespace wbh::platform::posix
