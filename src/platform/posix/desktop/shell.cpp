// The shell on POSIX: the desktop folder from the XDG user directories, shortcuts written as
// freedesktop launchers (.desktop files that hand the target to xdg-open, which file managers
// and desktops run), and files opened with xdg-open, started in a session of its own and never
// waited for.
#include "platform/shell.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>

#include "common/no_throw.h"
#include "platform/files.h"
#include "platform/posix/desktop/spawn.h"
#include "platform/posix/desktop/user_folders.h"
#include "platform/posix/native_path.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/text_files/ini_file.h"
#include "platform/posix/text_files/windows_1252.h"
#include "platform/posix/unique_fd.h"

namespace wbh::platform::shell {

const char kShortcutExtension[] = ".desktop";

namespace {

// Whether `text` is UTF-8 without a control character (C0, DEL or C1): only such text goes in
// a launcher, whose readers refuse the rest or would take a line end as the end of the value.
bool IsLauncherText(std::string_view text) {
    if (!posix::IsUtf8(text)) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) return false;
        // U+0080 to U+009F; being UTF-8, a continuation byte follows the lead.
        if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
    }
    return true;
}

// `text` as a Desktop Entry string value: a backslash doubled, and a blank at either end as
// "\s", since readers drop the blanks around a value. Control characters never get here.
std::string StringValue(std::string_view text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            value += "\\\\";
        } else if (text[i] == ' ' && (i == 0 || i + 1 == text.size())) {
            value += "\\s";
        } else {
            value += text[i];
        }
    }
    return value;
}

// The Exec value that hands `target` to xdg-open as one argument: in double quotes, where '"',
// '`', '$' and '\' take a backslash, '%' doubled (else a field code); the string escapes come
// on top, so a backslash in the path is four in the file.
std::string ExecValue(std::string_view target) {
    std::string command = "xdg-open \"";
    for (const char c : target) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') command += '\\';
        command += c;
        if (c == '%') command += '%';
    }
    command += '"';
    return StringValue(command);
}

// A relative path from the working folder, as the shell link object takes one: a launcher is
// started from anywhere. False when the working folder cannot be read.
bool MakeAbsolute(std::string& path) {
    if (path.empty() || path[0] == '/') return true;
    std::string folder(4096, '\0');  // PATH_MAX
    if (::getcwd(&folder[0], folder.size()) == nullptr) return false;
    path = folder.c_str() + ("/" + path);
    return true;
}

// The launcher's text, or false when one of its texts cannot go in a launcher.
bool LauncherText(std::string_view name, std::string target, std::string icon, std::string& text) {
    if (!IsLauncherText(name) || target.empty() || !IsLauncherText(target) ||
        !IsLauncherText(icon) || !MakeAbsolute(target) || !MakeAbsolute(icon)) {
        return false;
    }
    text = "[Desktop Entry]\nType=Application\nName=" + StringValue(name) +
           "\nExec=" + ExecValue(target) + "\n";
    if (!icon.empty()) text += "Icon=" + StringValue(icon) + "\n";
    return true;
}

bool WriteLauncher(const char* path, const char* title, const char* target, const char* icon) {
    if (files::CheckName(path) != files::NameRule::kFile) return false;
    std::string text;
    if (title == nullptr || title[0] == '\0' || !LauncherText(title, target, icon, text)) {
        return false;
    }
    // The caller picked a free name; a file that appeared there since is not ours to replace.
    // Executable, so that desktops offer to run it rather than to edit it.
    posix::UniqueFd fd(posix::Sys().open(path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0755));
    if (!fd.Valid()) return false;
    bool written = posix::WriteAll(fd.Get(), text.data(), text.size()) && ::fsync(fd.Get()) == 0;
    written = fd.Close() && written;
    if (!written) ::unlink(path);
    return written;
}

}  // namespace

HResult DesktopDirectory(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return kFailed;
    buffer[0] = '\0';
    return NoThrow(kFailed, [&] {
        const std::string desktop = posix::DesktopFolder();
        if (desktop.empty() || desktop.size() >= static_cast<std::size_t>(size)) return kFailed;
        std::memcpy(buffer, desktop.c_str(), desktop.size() + 1);
        return HResult{0};
    });
}

HResult SaveShortcut(const char* path, const char* title, const char* target, const char* icon) {
    const posix::NativePath native_path(path);
    const posix::NativePath native_target(target);
    const posix::NativePath native_icon(icon);
    if (native_path.CStr() == nullptr || native_target.CStr() == nullptr ||
        native_icon.CStr() == nullptr) {
        return kFailed;
    }
    const bool saved = NoThrow(false, [&] {
        return WriteLauncher(native_path.CStr(), title, native_target.CStr(), native_icon.CStr());
    });
    return saved ? 0 : kFailed;
}

bool OpenWithShell(const char* outside_path) {
    const posix::NativePath native(outside_path);
    const char* path = native.CStr();
    if (path == nullptr || path[0] == '\0') return false;
    // Nothing of this process's: a caller reading its output through a pipe sees the end of
    // it when the run ends, not when the reader closes the book.
    const posix::SpawnSettings settings(posix::ChildOutput::kNone);
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(path), nullptr};
    // Never waited for: some xdg-open fall-backs run the application in the foreground. It
    // stays this process's child (a zombie once it ends) until the run ends, a moment later;
    // init reaps it then.
    pid_t opener;
    return settings.Start(argv, &opener);
}

}  // namespace wbh::platform::shell
