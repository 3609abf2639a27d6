// The Windows desktop sandbox: the user's shell folder "Desktop" names a fresh folder while the
// test runs, and its earlier value comes back afterwards.
#include "support/desktop_sandbox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/temp_dir.h"

namespace wbh::test {
namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

}  // namespace

struct DesktopSandbox::State {
    TempDir desktop;
    std::optional<std::string> saved;
    DWORD saved_type = REG_EXPAND_SZ;
};

DesktopSandbox::DesktopSandbox() : state_(std::make_unique<State>()) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot open the user shell folders";
        return;
    }
    char old[MAX_PATH * 2];
    DWORD size = sizeof old;
    if (RegQueryValueExA(key, "Desktop", nullptr, &state_->saved_type,
                         reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS) {
        state_->saved = std::string(old, size > 0 ? size - 1 : 0);
    }
    const std::string path = state_->desktop.Path().string();
    RegSetValueExA(key, "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}

DesktopSandbox::~DesktopSandbox() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    if (state_->saved) {
        RegSetValueExA(key, "Desktop", 0, state_->saved_type,
                       reinterpret_cast<const BYTE*>(state_->saved->c_str()),
                       static_cast<DWORD>(state_->saved->size() + 1));
    } else {
        RegDeleteValueA(key, "Desktop");
    }
    RegCloseKey(key);
}

const std::filesystem::path& DesktopSandbox::Folder() const { return state_->desktop.Path(); }

}  // namespace wbh::test
