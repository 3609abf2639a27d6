// The home, XDG base and desktop folders of the user, and the making of folders below them.
#include "platform/posix/desktop/user_folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/text_files/ini_file.h"
#include "platform/posix/unique_fd.h"

namespace wbh::platform::posix {
namespace {

// The variable when it holds an absolute path, else null.
const char* AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : nullptr;
}

std::string PasswordHome() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    while (Sys().getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return "";
}

// `variable` when absolute, else `below` in the home folder.
std::string BaseFolder(const char* variable, const char* below) {
    if (const char* value = AbsoluteEnv(variable)) return value;
    const std::string home = HomeFolder();
    return home.empty() ? home : home + below;
}

// The value of an `XDG_DESKTOP_DIR="..."` line, as the shell that sources the file would read
// it: "$HOME" or "$HOME/..." relative to the home folder (when there is one), otherwise an
// absolute path; a backslash takes the next character as it is. False for any other line.
bool ParseDesktopLine(std::string_view line, const std::string& home, std::string& path) {
    constexpr std::string_view kKey = "XDG_DESKTOP_DIR";
    std::size_t i = 0;
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (line.substr(i, kKey.size()) != kKey) return false;
    i += kKey.size();
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i >= line.size() || line[i] != '=') return false;
    ++i;
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i >= line.size() || line[i] != '"') return false;
    ++i;

    std::string value;
    bool closed = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            value.push_back(line[++i]);
        } else if (line[i] == '"') {
            closed = true;
            ++i;
            break;
        } else {
            value.push_back(line[i]);
        }
    }
    if (!closed) return false;
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i < line.size() && line[i] != '#') return false;

    constexpr std::string_view kHome = "$HOME";
    if (value.compare(0, kHome.size(), kHome) == 0 &&
        (value.size() == kHome.size() || value[kHome.size()] == '/')) {
        if (home.empty()) return false;
        path = home + value.substr(kHome.size());
    } else if (!value.empty() && value[0] == '/') {
        path = value;
    } else {
        return false;
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return true;
}

}  // namespace

std::string HomeFolder() {
    if (const char* home = AbsoluteEnv("HOME")) return home;
    return PasswordHome();
}

std::string ConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", "/.config"); }

std::string DataFolder() { return BaseFolder("XDG_DATA_HOME", "/.local/share"); }

std::string DesktopFolder() {
    const std::string home = HomeFolder();
    std::string desktop = home.empty() ? home : home + "/Desktop";
    const std::string config = ConfigFolder();
    if (config.empty()) return desktop;
    struct stat st;
    std::string text;
    {
        const UniqueFd fd = OpenRegularFile((config + "/user-dirs.dirs").c_str(), st);
        if (!fd.Valid() || !ReadToEnd(fd.Get(), text)) return desktop;
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string found;
        if (ParseDesktopLine(std::string_view(text).substr(pos, end - pos), home, found)) {
            desktop = found;
        }
        pos = end + 1;
    }
    return desktop;
}

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (Sys().mkdir(path.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace wbh::platform::posix
