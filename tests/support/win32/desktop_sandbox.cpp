// The user's shell folder "Desktop" names a fresh folder while the test runs; its earlier value
// comes back afterwards.
#include "support/desktop_sandbox.h"

#include <windows.h>

#include "support/temp_dir.h"

namespace wbh::test {
namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void SetDesktop(DWORD type, const std::string& path) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop", type, path.c_str(),
                    static_cast<DWORD>(path.size() + 1));
}

}  // namespace

struct DesktopSandbox::State {
    TempDir desktop;
    std::string saved;
    DWORD saved_type = REG_NONE;  // none: there was no value
};

DesktopSandbox::DesktopSandbox() : state_(std::make_unique<State>()) {
    char old[MAX_PATH * 2];
    DWORD size = sizeof old;
    DWORD type = REG_NONE;
    if (RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop",
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, old,
                     &size) == ERROR_SUCCESS) {
        state_->saved = old;
        state_->saved_type = type;
    }
    SetDesktop(REG_SZ, state_->desktop.Path().string());
}

DesktopSandbox::~DesktopSandbox() {
    if (state_->saved_type == REG_NONE) {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop");
    } else {
        SetDesktop(state_->saved_type, state_->saved);
    }
}

const std::filesystem::path& DesktopSandbox::Folder() const { return state_->desktop.Path(); }

}  // namespace wbh::test
