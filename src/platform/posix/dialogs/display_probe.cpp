// The displays tried on threads of their own, through the libraries that GDK opens them with.
// The libraries are loaded first, by the probe's maker: loading waits for any other load (GTK's)
// to end, and GTK then finds them loaded. A thread only connects, which on a silent display
// never ends.
#include "platform/posix/dialogs/display_probe.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace wbh::platform::posix {
namespace {

// GDK's names of the displays, in its order of preference; a display's index is its place here.
constexpr const char* kBackends[] = {"wayland", "x11"};
constexpr int kWayland = 0;

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

bool Named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

// Kept by the probe and by each try's thread until it ends: a thread may outlive the probe.
struct DisplayProbe::Answers {
    UniqueFd heard, tell;  // a pipe: each thread writes one byte on it when it is done
    std::atomic<void*> connected[2] = {nullptr, nullptr};
    Connect with[2];
};

DisplayProbe::DisplayProbe(int deadline_ms)
    : deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms)),
      answers_(std::make_shared<Answers>()) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;  // no display tried: none answers
    answers_->heard = UniqueFd(ends[0]);
    answers_->tell = UniqueFd(ends[1]);
    // What a try's thread is given, and keeps until it ends.
    struct Task {
        std::shared_ptr<Answers> answers;
        int display;
    };
    const auto try_display = [](void* data) -> void* {
        const std::unique_ptr<Task> task(static_cast<Task*>(data));
        Answers& answers = *task->answers;
        answers.connected[task->display] = Connected(task->display, answers.with[task->display]);
        const char done = 1;
        while (write(answers.tell.Get(), &done, 1) < 0 && errno == EINTR) {
        }
        return nullptr;
    };
    // GDK tries no Wayland display without XDG_RUNTIME_DIR (libwayland would complain).
    const bool named[] = {Named("WAYLAND_DISPLAY") && Named("XDG_RUNTIME_DIR"), Named("DISPLAY")};
    for (int i = 0; i < 2; ++i) {
        if (!named[i]) continue;
        answers_->with[i] = Load(i);
        if (answers_->with[i].open == nullptr) continue;
        auto* task = new Task{answers_, i};
        pthread_t thread;
        if (pthread_create(&thread, nullptr, try_display, task) != 0) {
            delete task;  // no thread: no answer
            continue;
        }
        pthread_detach(thread);
        ++tries_;
    }
}

DisplayProbe::~DisplayProbe() {
    for (int i = 0; i < 2; ++i) {
        if (void* connection = answers_->connected[i].exchange(nullptr)) {
            Close(i, answers_->with[i], connection);
        }
    }
}

const std::string& DisplayProbe::Backends() const {
    if (backends_) return *backends_;
    for (int heard = 0; heard < tries_;) {
        const auto left_ms = std::chrono::ceil<std::chrono::milliseconds>(
                                 deadline_ - std::chrono::steady_clock::now())
                                 .count();
        if (left_ms <= 0) break;
        pollfd waiting{answers_->heard.Get(), POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(left_ms));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;  // the deadline, or a signal: the time left is asked again
        char done[2];
        const ssize_t got = read(waiting.fd, done, sizeof done);
        if (got > 0) {
            heard += static_cast<int>(got);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    backends_.emplace();
    for (int i = 0; i < 2; ++i) {
        if (answers_->connected[i] == nullptr) continue;
        if (!backends_->empty()) *backends_ += ',';
        *backends_ += kBackends[i];
    }
    return *backends_;
}

}  // namespace wbh::platform::posix
