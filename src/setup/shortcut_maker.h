// The book's shortcut files: one in the install directory that opens the book, and one on the
// desktop when the reader asks for it. An existing shortcut is never replaced: a taken name
// gets the first free numbered form, "name (0).lnk", "name (1).lnk", ... (".desktop" on POSIX:
// the platform's shortcut extension).
#pragma once

#include <string>

#include "common/bounded_text.h"
#include "platform/guid.h"

namespace wbh {

namespace shortcut_maker {
inline constexpr unsigned kDesktopNameString = 1501;  // "livre Web"
inline constexpr unsigned kOpenNameString = 1502;     // "Lancer le livre Web"
inline constexpr char kDesktopNameFallback[] = "autorun book";
inline constexpr char kOpenNameFallback[] = "Open autorun book";
}  // namespace shortcut_maker

// Where a shortcut called `name` is saved in `folder`: the plain name when nothing is there,
// else the first numbered form at which nothing is. A name over the platform's name limit is
// cut between whole characters to fit with its number and extension; `title`, what a launcher
// shows, keeps the whole name with the number. `path` is empty when no candidate can be a file
// within the path limit before a free one is found, when the folder cannot be probed, or after
// more numbered forms than any real folder holds.
struct ShortcutPlace {
    BoundedText<260> path;
    std::string title;
};
ShortcutPlace ChooseShortcutPath(const char* folder, const char* name);

// Both return 1 when there is nothing to do (no target; no install directory), else the HRESULT
// of the step that failed or of the save. An empty name takes the default name (the string
// resource, or the English fall-back); an empty icon sets none. The open shortcut is saved in
// the book's install directory.
platform::HResult MakeOpenShortcut(const char* installdirectory, const char* target,
                                   const char* name, const char* icon);
platform::HResult MakeDesktopShortcut(const char* target, const char* name, const char* icon);

}  // namespace wbh
