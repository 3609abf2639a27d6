// The POSIX sandbox: XDG_CONFIG_HOME points at a fresh directory while the test runs, so the
// registry database is a new, empty one; so does XDG_DATA_HOME, where file types are registered.
#include "support/registry_sandbox.h"

#include <cstdlib>

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

}  // namespace wbh::test
