// The POSIX sandbox: XDG_CONFIG_HOME points at a fresh directory while the test runs, so the
// registry database is a new, empty one.
#include "support/registry_sandbox.h"

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace wbh::test {

struct RegistrySandbox::State {
    TempDir dir;
    std::optional<std::string> saved;
};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) state_->saved = old;
    setenv("XDG_CONFIG_HOME", state_->dir.Path().c_str(), 1);
}

RegistrySandbox::~RegistrySandbox() {
    if (state_->saved) {
        setenv("XDG_CONFIG_HOME", state_->saved->c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace wbh::test
