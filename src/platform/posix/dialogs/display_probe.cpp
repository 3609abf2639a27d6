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
namespace {

// GDK's names of the displays, in its order of preference; a display's index is its place here.
constexpr const char* kBackends[] = {"wayland", "x11"};
constexpr int kWayland = 0;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A display's functions: `open` (wl_display_connect, XOpenDisplay), `roundtrip` for Wayland
// (wl_display_roundtrip), `close` (wl_display_disconnect, XCloseDisplay).
struct Connect {
    void* open = nullptr;
    void* roundtrip = nullptr;
    void* close = nullptr;
};

// The display's functions, from its library (loaded for good): none when one is missing.
Connect Load(int display) {
    constexpr const char* kNames[][4] = {
        {"libwayland-client.so.0", "wl_display_connect", "wl_display_roundtrip",
         "wl_display_disconnect"},
        {"libX11.so.6", "XOpenDisplay", nullptr, "XCloseDisplay"},
    };
    const auto& names = kNames[display];
    void* library = dlopen(names[0], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return {};
    Connect with{dlsym(library, names[1]), nullptr, dlsym(library, names[3])};
    if (names[2] != nullptr) with.roundtrip = dlsym(library, names[2]);
    if (with.close == nullptr || (names[2] != nullptr && with.roundtrip == nullptr)) return {};
    return with;
}

void Close(int display, const Connect& with, void* connection) {
    if (display == kWayland) {
        reinterpret_cast<void (*)(void*)>(with.close)(connection);
    } else {
        reinterpret_cast<int (*)(void*)>(with.close)(connection);
    }
}

// The connection once the display has answered, else null: opened as GDK opens it, and for
// Wayland a round trip made, as a compositor answers nothing until asked.
void* Connected(int display, const Connect& with) {
    void* connection = reinterpret_cast<void* (*)(const char*)>(with.open)(nullptr);
    if (connection != nullptr && with.roundtrip != nullptr &&
        reinterpret_cast<int (*)(void*)>(with.roundtrip)(connection) < 0) {
        Close(display, with, connection);
        connection = nullptr;
    }
    return connection;
}

}  // namespace

struct DisplayProbe::Answers {
    std::mutex mutex;
    std::condition_variable told;
    int waiting = 0;
    bool gone = false;  // the probe: a connection made after it is kept until the process ends
    void* connected[2] = {nullptr, nullptr};
    Connect with[2];
};

DisplayProbe::DisplayProbe(int deadline_ms)
    : deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms)),
      answers_(std::make_shared<Answers>()) {
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    const bool named[] = {Set("WAYLAND_DISPLAY") && Set("XDG_RUNTIME_DIR"), Set("DISPLAY")};
    for (int i = 0; i < 2; ++i) {
        if (!named[i]) continue;
        const Connect with = Load(i);
        if (with.open == nullptr) continue;
        answers_->with[i] = with;
        ++answers_->waiting;
        try {
            std::thread([answers = answers_, with, i] {
                void* connection = Connected(i, with);
                const std::lock_guard<std::mutex> lock(answers->mutex);
                if (!answers->gone) answers->connected[i] = connection;
                --answers->waiting;
                answers->told.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            --answers_->waiting;  // no thread: no answer
        }
    }
}

DisplayProbe::~DisplayProbe() {
    const std::lock_guard<std::mutex> lock(answers_->mutex);
    answers_->gone = true;
    for (int i = 0; i < 2; ++i) {
        if (answers_->connected[i] != nullptr) Close(i, answers_->with[i], answers_->connected[i]);
    }
}

const std::string& DisplayProbe::Backends() const {
    if (!backends_) {
        std::unique_lock<std::mutex> lock(answers_->mutex);
        answers_->told.wait_until(lock, deadline_, [&] { return answers_->waiting == 0; });
        backends_.emplace();
        for (int i = 0; i < 2; ++i) {
            if (answers_->connected[i] == nullptr) continue;
            if (!backends_->empty()) *backends_ += ',';
            *backends_ += kBackends[i];
        }
    }
    return *backends_;
}

}  // namespace wbh::platform::posix
