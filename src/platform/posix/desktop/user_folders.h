// The user's folders, found by one rule for the registry file, the launchers and the MIME
// package, so that they never disagree about where the user lives: only an absolute path counts
// (a relative one would move with the working folder, which may be a book's), and the password
// database stands in for a missing or relative HOME.
#pragma once

#include <string>

namespace wbh::platform::posix {

// HOME, else the password database's home of this user; empty when neither is absolute.
std::string HomeFolder();
// XDG_CONFIG_HOME, else <home>/.config; empty when neither can be found.
std::string ConfigFolder();
// XDG_DATA_HOME, else <home>/.local/share; empty when neither can be found.
std::string DataFolder();
// XDG_DESKTOP_DIR of <config>/user-dirs.dirs ("$HOME/..." or an absolute path; the last valid
// line wins, as when a shell sources the file), else <home>/Desktop; empty when none is found.
std::string DesktopFolder();

// Makes the folder (an absolute path) and every missing one above it, private to the user
// (0700) as the XDG base directories ask. False, with errno saying why, when one could not be
// made; a file at a folder's name is taken as there, and the caller's next step into it fails.
bool MakeFolders(const std::string& path);

}  // namespace wbh::platform::posix
