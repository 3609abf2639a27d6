// Shortcut naming is plain text and probing; the shortcut file itself is the platform's.
#include "setup/shortcut_maker.h"

#include <cstring>
#include <string>
#include <string_view>

#include "common/utf8.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "setup/setup_flow.h"

namespace wbh {
namespace {

using platform::HResult;
namespace files = platform::files;

// Numbered forms tried before giving up: no real folder holds that many shortcuts of one name.
constexpr unsigned kNumberedForms = 10000;

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
    const ShortcutPlace place = ChooseShortcutPath(folder, name);
    if (place.path.Empty()) return platform::shell::kFailed;  // no free name: nothing is saved
    return platform::shell::SaveShortcut(place.path.CStr(), place.title.c_str(), target, icon);
}

}  // namespace

ShortcutPlace ChooseShortcutPath(const char* folder, const char* name) {
    const std::string_view whole(name);
    // A name may hold folders: only its last part is the shortcut's own name.
    const std::size_t own_start = whole.find_last_of("\\/") + 1;  // 0 when none
    const std::string_view own = whole.substr(own_start);
    const files::NameLimit limit = files::kNameLimit;
    for (unsigned n = 0; n <= kNumberedForms; ++n) {
        const std::string number = n == 0 ? "" : " (" + std::to_string(n - 1) + ")";
        const std::string suffix = number + platform::shell::kShortcutExtension;
        // The whole name must fit the path limit, as on Windows; only then is it cut to the
        // file system's name limit (POSIX counts bytes, so a name in another script is longer
        // there than a French one of as many characters).
        if (JoinPath(folder, (std::string(whole) + suffix).c_str()).Empty()) break;
        const std::size_t fits =
            utf8::Prefix(own, limit.units - suffix.size(), limit.bytes - suffix.size());
        if (fits == 0) break;
        const std::string file =
            std::string(whole.substr(0, own_start)) + std::string(own.substr(0, fits)) + suffix;
        const BoundedText<260> path = JoinPath(folder, file.c_str());
        const files::NameRule rule = files::CheckName(path.CStr());
        // A device name stays one whatever number follows it; "NUL.lnk" is one, "NUL (0).lnk"
        // is a file.
        if (rule == files::NameRule::kNever && n == 0) continue;
        if (rule != files::NameRule::kFile) break;
        switch (files::Probe(path.CStr())) {
            case files::Presence::kAbsent:
                return ShortcutPlace{path, std::string(own) + number};
            case files::Presence::kPresent:
                continue;
            case files::Presence::kUnknown:
                break;
        }
        break;
    }
    return ShortcutPlace{};
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
