// The Windows sandboxes, in a throwaway Wine prefix: removing the program's keys before and after
// each test is enough; the shell folder "Desktop" names a fresh folder while a test runs.
#include <windows.h>

#include <optional>

#include "support/desktop_sandbox.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh::test {
namespace {

void RemoveProgramKeys() {
    for (const char* key :
         {"Software\\Quarlo", "Software\\Classes\\.7xe", "Software\\Classes\\7xefile"}) {
        RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }
    for (const char* key : {".7xe", "7xefile"}) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
}

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void SetDesktop(DWORD type, const std::string& path) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop", type, path.c_str(),
                    static_cast<DWORD>(path.size() + 1));
}

}  // namespace

struct RegistrySandbox::State {};

RegistrySandbox::RegistrySandbox() : state_(std::make_unique<State>()) { RemoveProgramKeys(); }

RegistrySandbox::~RegistrySandbox() { RemoveProgramKeys(); }

struct DesktopSandbox::State {
    TempDir desktop;
    std::optional<std::string> saved;  // put back as REG_EXPAND_SZ, which a plain path also is
};

DesktopSandbox::DesktopSandbox() : state_(std::make_unique<State>()) {
    char old[MAX_PATH * 2];
    DWORD size = sizeof old;
    const LONG read =
        RegGetValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop",
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, old, &size);
    if (read == ERROR_SUCCESS) state_->saved = old;
    SetDesktop(REG_SZ, state_->desktop.Path().string());
}

DesktopSandbox::~DesktopSandbox() {
    if (state_->saved) {
        SetDesktop(REG_EXPAND_SZ, *state_->saved);
    } else {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kShellFolders, "Desktop");
    }
}

const std::filesystem::path& DesktopSandbox::Folder() const { return state_->desktop.Path(); }

}  // namespace wbh::test
