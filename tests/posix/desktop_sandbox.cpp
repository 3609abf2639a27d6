// The POSIX desktop sandbox: HOME names a fresh folder with a Desktop folder in it. The program
// looks for the XDG user directories file in XDG_CONFIG_HOME, else in ~/.config: natively the
// tests run in a registry sandbox, whose XDG_CONFIG_HOME is a fresh folder without that file,
// and otherwise the fresh HOME has none. Either way the program takes ~/Desktop.
#include "support/desktop_sandbox.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/temp_dir.h"

namespace wbh::test {

struct DesktopSandbox::State {
    TempDir home;
    std::filesystem::path desktop = home.Path() / "Desktop";
    std::optional<std::string> saved_home;
};

DesktopSandbox::DesktopSandbox() : state_(std::make_unique<State>()) {
    if (const char* old = std::getenv("HOME")) state_->saved_home = old;
    setenv("HOME", state_->home.Path().c_str(), 1);
    std::filesystem::create_directory(state_->desktop);
}

DesktopSandbox::~DesktopSandbox() {
    if (state_->saved_home) {
        setenv("HOME", state_->saved_home->c_str(), 1);
    } else {
        unsetenv("HOME");
    }
}

const std::filesystem::path& DesktopSandbox::Folder() const { return state_->desktop; }

}  // namespace wbh::test
