// The shell: the user's desktop folder, shortcut files and opening a file with the application
// that its type is associated with. Windows uses the shell itself (the shell link object,
// SHGetSpecialFolderLocation, ShellExecuteW); POSIX writes freedesktop launchers (Desktop Entry
// files that open the target with xdg-open), finds the desktop through the XDG user
// directories and opens files with xdg-open.
#pragma once

#include "platform/guid.h"

namespace wbh::platform::shell {

// The failure result of a shell call whose failure has no HRESULT of its own (E_FAIL).
constexpr HResult kFailed = static_cast<HResult>(0x80004005u);

// The current user's desktop folder (CSIDL_DESKTOPDIRECTORY) into `buffer` (`size` bytes of
// UTF-8; the path limit is 259 characters). A negative result when it cannot be located or its
// path does not convert or fit; `buffer` is then the empty text.
HResult DesktopDirectory(char* buffer, int size);

// The file name extension of a shortcut, with its dot: ".lnk" on Windows, ".desktop" on POSIX.
extern const char kShortcutExtension[];

// Saves a new shortcut at `path` (a path over the path limit fails) that opens `target`, with
// the icon in the file `icon` (empty: none), shown as `title` where the platform shows a title
// of its own (POSIX; Windows shows a .lnk file's name). A negative result on failure, with nothing
// saved. Windows: the shell link object (CoCreateInstance, then its IPersistFile) with
// IShellLinkW's SetPath and SetIconLocation, whose failures do not stop the save, then
// IPersistFile::Save; the result is the failing call's HRESULT (never a success code then) or the
// save's. POSIX: a launcher whose Name is `title`; it never replaces a file at `path`, is written
// whole or not at all (mode 0755 less the umask), and fails with kFailed when the target is empty
// or the target, the icon or the title is not valid UTF-8 or holds a control character; a
// relative target or icon is taken from the working folder.
HResult SaveShortcut(const char* path, const char* title, const char* target, const char* icon);

// Asks the application associated with the file's type to open it ("open", hidden-window show
// request SW_HIDE, no parameters, no working folder) and does not wait for it. True when the
// shell reports success (POSIX: xdg-open was started).
bool OpenWithShell(const char* path);

// Registers the .7xe file type where the desktop looks for file types, unless a type is there
// already, which is then left alone; true when the type stands afterwards. Windows: .7xe names
// the class 7xefile under HKEY_CLASSES_ROOT, or when a write there fails under the user's own
// classes (HKCU\Software\Classes), and the shell hears that associations changed
// (SHChangeNotify). POSIX: a package for `*.7xe` in the user's
// shared MIME database, which is then rebuilt; false when the package could not be written.
bool RegisterFileType();

}  // namespace wbh::platform::shell
