// The POSIX desktop sandbox: HOME names a fresh folder with a Desktop folder in it. The program
// looks for the XDG user directories file in XDG_CONFIG_HOME, else in ~/.config: natively the
// tests run in a registry sandbox, whose XDG_CONFIG_HOME is a fresh folder without that file,
// and otherwise the fresh HOME has none. Either way the program takes ~/Desktop.
#include "support/desktop_sandbox.h"

#include <cstdlib>
#include <filesystem>

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
