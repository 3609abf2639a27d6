// The displays tried on threads of their own, through the libraries that GDK opens them with.
// The libraries are loaded first, by the probe's maker: loading waits for any other load (GTK's)
// to end, and GTK then finds them loaded. A thread only connects, which on a silent display
// never ends.
#include "platform/posix/dialogs/display_probe.h"

#include <dlfcn.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>

namespace wbh::platform::posix {

struct DisplayProbe::Answers {
    std::mutex mutex;
    std::condition_variable told;
    int waiting = 0;
    bool answered[2] = {false, false};
};

namespace {

constexpr const char* kBackends[] = {"wayland", "x11"};

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A display's connection as GDK makes it: `open` (wl_display_connect, XOpenDisplay), then for
// Wayland a round trip (`roundtrip`, wl_display_roundtrip), as a compositor answers nothing
// until asked. The connection is never closed.
struct Connect {
    void* open = nullptr;
    void* roundtrip = nullptr;
};

Connect Load(const char* library, const char* open, const char* roundtrip) {
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);  // never let go of
    if (handle == nullptr) return {};
    Connect connect{dlsym(handle, open), roundtrip != nullptr ? dlsym(handle, roundtrip) : nullptr};
    if (roundtrip != nullptr && connect.roundtrip == nullptr) connect.open = nullptr;
    return connect;
}

bool Answered(const Connect& connect) {
    void* display = reinterpret_cast<void* (*)(const char*)>(connect.open)(nullptr);
    return display != nullptr &&
           (connect.roundtrip == nullptr ||
            reinterpret_cast<int (*)(void*)>(connect.roundtrip)(display) >= 0);
}

}  // namespace

DisplayProbe::DisplayProbe(int deadline_ms)
    : deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms)),
      answers_(std::make_shared<Answers>()) {
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    const bool named[] = {Set("WAYLAND_DISPLAY") && Set("XDG_RUNTIME_DIR"), Set("DISPLAY")};
    for (int i = 0; i < 2; ++i) {
        if (!named[i]) continue;
        const Connect connect =
            i == 0 ? Load("libwayland-client.so.0", "wl_display_connect", "wl_display_roundtrip")
                   : Load("libX11.so.6", "XOpenDisplay", nullptr);
        if (connect.open == nullptr) continue;
        ++answers_->waiting;
        try {
            std::thread([answers = answers_, connect, i] {
                const bool answered = Answered(connect);
                const std::lock_guard<std::mutex> lock(answers->mutex);
                answers->answered[i] = answered;
                --answers->waiting;
                answers->told.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            --answers_->waiting;  // no thread: no answer
        }
    }
}

const std::string& DisplayProbe::Backends() const {
    if (!backends_) {
        std::unique_lock<std::mutex> lock(answers_->mutex);
        answers_->told.wait_until(lock, deadline_, [&] { return answers_->waiting == 0; });
        backends_.emplace();
        for (int i = 0; i < 2; ++i) {
            if (!answers_->answered[i]) continue;
            if (!backends_->empty()) *backends_ += ',';
            *backends_ += kBackends[i];
        }
    }
    return *backends_;
}

}  // namespace wbh::platform::posix
