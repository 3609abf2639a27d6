// The POSIX sandboxes point the program's XDG and HOME folders at fresh directories. The
// registry's XDG_CONFIG_HOME holds no user directories file, nor does a fresh HOME, so the
// desktop is ~/Desktop; XDG_DATA_HOME is where file types are registered.
#include <cstdlib>

#include "support/desktop_sandbox.h"
#include "support/registry_sandbox.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::test {

struct RegistrySandbox::State {
    TempDir dir;
    SavedEnvironment saved{"XDG_CONFIG_HOME", "XDG_DATA_HOME"};
};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) {
    setenv("XDG_CONFIG_HOME", state_->dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", state_->dir.Path().c_str(), 1);
}

RegistrySandbox::~RegistrySandbox() = default;

struct DesktopSandbox::State {
    TempDir home;
    std::filesystem::path desktop = home.Path() / "Desktop";
    SavedEnvironment saved{"HOME"};
};

DesktopSandbox::DesktopSandbox() : state_(std::make_unique<State>()) {
    setenv("HOME", state_->home.Path().c_str(), 1);
    std::filesystem::create_directory(state_->desktop);
}

DesktopSandbox::~DesktopSandbox() = default;

const std::filesystem::path& DesktopSandbox::Folder() const { return state_->desktop; }

}  // namespace wbh::test
