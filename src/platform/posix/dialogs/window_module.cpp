// Opening the windows' module from the program's own folder, found through /proc/self/exe:
// neither the working folder nor the library path decides which code shows the dialogs.
#include "platform/posix/dialogs/window_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/posix/dialogs/display_probe.h"

namespace wbh::platform::posix {

bool DisplayNamed() { return Named("WAYLAND_DISPLAY") || Named("DISPLAY"); }

RunWindowDialogFunction LoadWindowModule() {
    // Loading GTK takes long enough for a display to answer, on another core: only the displays
    // that answered are given to the module. Kept until the process ends, as GTK's connection is.
    static const DisplayProbe probe(kDisplayAnswerMs);
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return nullptr;
    path.resize(static_cast<std::size_t>(length));
    path.resize(path.rfind('/') + 1);
    path += kWindowModuleName;
    // Never closed: GTK cannot be unloaded once it has started. The module's own calls are bound
    // as it loads (it is linked with -z now), so a GTK without one fails here and the dialogs go
    // to the terminal; the libraries' calls among themselves are bound when first made, as in
    // any program linked with GTK (binding them all now took a tenth of the load).
    void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (module == nullptr) return nullptr;
    const auto use_displays =
        reinterpret_cast<UseDisplaysFunction>(dlsym(module, kWindowModuleDisplays));
    if (use_displays == nullptr) return nullptr;
    use_displays(probe.Backends().c_str());
    return reinterpret_cast<RunWindowDialogFunction>(dlsym(module, kWindowModuleEntry));
}

}  // namespace wbh::platform::posix
