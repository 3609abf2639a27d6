// HOME names a fresh folder with a Desktop folder in it. Without a user directories file (none
// in a fresh HOME or in a registry sandbox's XDG_CONFIG_HOME) the program takes ~/Desktop.
#include "support/desktop_sandbox.h"

#include <cstdlib>

#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::test {

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
