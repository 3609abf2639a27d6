// Shortcut naming is plain text and probing; the shortcut file itself is the platform's.
#include "setup/shortcut_maker.h"

#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "setup/setup_flow.h"

namespace wbh {
namespace {

using platform::HResult;
namespace files = platform::files;

// `base` + `suffix` when it fits and nothing is at that path.
enum class Candidate { kFree, kTaken, kStop };
Candidate Try(const std::string& base, const std::string& suffix, BoundedText<260>& path) {
    if (!path.Assign(base + suffix)) return Candidate::kStop;
    switch (files::Probe(path.CStr())) {
        case files::Presence::kAbsent:
            return Candidate::kFree;
        case files::Presence::kPresent:
            return Candidate::kTaken;
        case files::Presence::kUnknown:
            break;
    }
    return Candidate::kStop;
}

// Saves a shortcut to `target` in `folder`, named `name`, or else after string `default_id`, or
// else `fallback`.
HResult SaveShortcut(const char* folder, const char* target, const char* name, const char* icon,
                     unsigned default_id, const char* fallback) {
    char default_name[260];
    if (name[0] == '\0') {
        if (platform::LoadText(default_id, default_name, sizeof default_name) == 0) {
            std::strcpy(default_name, fallback);
        }
        name = default_name;
    }
    const BoundedText<260> path = ChooseShortcutPath(folder, name);
    if (path.Empty()) return platform::shell::kFailed;  // no free name fits: nothing is saved
    return platform::shell::SaveShortcut(path.CStr(), target, icon);
}

}  // namespace

BoundedText<260> ChooseShortcutPath(const char* folder, const char* name) {
    BoundedText<260> path;
    const BoundedText<260> base = JoinPath(folder, name);
    if (base.Empty()) return path;
    const std::string base_text(base.View());
    const std::string extension = platform::shell::kShortcutExtension;
    Candidate candidate = Try(base_text, extension, path);
    for (unsigned long n = 0; candidate == Candidate::kTaken; ++n) {
        candidate = Try(base_text, " (" + std::to_string(n) + ")" + extension, path);
    }
    if (candidate != Candidate::kFree) path.Clear();
    return path;
}

HResult MakeOpenShortcut(const char* installdirectory, const char* target, const char* name,
                         const char* icon) {
    if (target[0] == '\0' || installdirectory[0] == '\0') return 1;
    return SaveShortcut(installdirectory, target, name, icon, shortcut_maker::kOpenNameString,
                        shortcut_maker::kOpenNameFallback);
}

HResult MakeDesktopShortcut(const char* target, const char* name, const char* icon) {
    if (target[0] == '\0') return 1;
    char desktop[BoundedText<260>::kBufferSize];
    const HResult located = platform::shell::DesktopDirectory(desktop, sizeof desktop);
    if (located < 0) return located;
    return SaveShortcut(desktop, target, name, icon, shortcut_maker::kDesktopNameString,
                        shortcut_maker::kDesktopNameFallback);
}

}  // namespace wbh
