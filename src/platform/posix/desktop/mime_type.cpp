// The .7xe file type on POSIX: a package in the user's shared MIME database that declares
// application/x-7xe for *.7xe, then update-mime-database to rebuild the files applications
// read. A database that already gives *.7xe a type is left alone, as Windows leaves an
// extension that already names a class.
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/files.h"
#include "platform/posix/desktop/spawn.h"
#include "platform/posix/desktop/user_folders.h"
#include "platform/posix/text_files/ini_file.h"
#include "platform/shell.h"

namespace wbh::platform::shell {
namespace {

constexpr std::string_view kGlob = "*.7xe";
constexpr char kPackageName[] = "webbook-helper-7xe.xml";
constexpr std::string_view kPackage =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-7xe\">\n"
    "    <comment>Web book import marker</comment>\n"
    "    <comment xml:lang=\"fr\">Marqueur d'import de livre Web</comment>\n"
    "    <glob pattern=\"*.7xe\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

// An XDG variable counts only when it holds an absolute path.
bool Absolute(std::string_view path) { return !path.empty() && path.front() == '/'; }

// Whether `test` holds for one of the parts of `list` between the `separator`s.
template <typename Test>
bool AnyPart(std::string_view list, char separator, Test&& test) {
    for (;;) {
        const std::size_t end = list.find(separator);
        if (test(list.substr(0, end))) return true;
        if (end == std::string_view::npos) return false;
        list.remove_prefix(end + 1);
    }
}

// Whether a line of globs2 (weight:type:pattern[:flags]) gives files named *.7xe a type. A glob
// matches in any case unless its flags hold "cs".
bool GivesTheType(std::string_view line) {
    std::string_view fields[4];
    std::size_t count = 0;
    while (count < 4) {
        const std::size_t colon = line.find(':');
        fields[count++] = line.substr(0, colon);
        if (colon == std::string_view::npos) break;
        line.remove_prefix(colon + 1);
    }
    if (count < 3 || fields[0].empty() || fields[0].front() == '#') return false;
    const bool case_sensitive =
        AnyPart(fields[3], ',', [](std::string_view f) { return f == "cs"; });
    return case_sensitive ? fields[2] == kGlob : EqualsNoCase(fields[2], kGlob);
}

// Whether the database below `data` ("<data>/mime/globs2") gives *.7xe a type.
bool KnownIn(std::string_view data) {
    struct stat st;
    std::string text;
    const posix::UniqueFd fd =
        posix::OpenRegularFile((std::string(data) + "/mime/globs2").c_str(), st);
    return fd.Valid() && posix::ReadToEnd(fd.Get(), text) && AnyPart(text, '\n', GivesTheType);
}

// Whether the user's database or one of the system's (XDG_DATA_DIRS) already types *.7xe: the
// desktop merges them all, as Windows merges the user's classes with the machine's.
bool AlreadyKnown(const std::string& data_home) {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    return KnownIn(data_home) ||
           AnyPart(dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share:/usr/share", ':',
                   [](std::string_view dir) { return Absolute(dir) && KnownIn(dir); });
}

// The real tool takes some 40 ms; one that has not ended after this long is taken as hung.
constexpr long kRebuildLimitMs = 5000;

// Runs update-mime-database on the folder; only its errors are shown. A tool that is missing,
// fails or hangs (and is then ended) leaves every file of the database whole: it writes each
// beside (a ".new" file, which the next rebuild replaces) and renames it into place.
void RebuildDatabase(const std::string& mime) {
    char* argv[] = {const_cast<char*>("update-mime-database"), const_cast<char*>(mime.c_str()),
                    nullptr};
    const posix::SpawnSettings settings(posix::ChildOutput::kErrorsOnly);
    posix::RunToEnd(settings, argv, kRebuildLimitMs);
}

bool Register() {
    const std::string data = posix::DataFolder();
    if (data.empty()) return false;
    if (AlreadyKnown(data)) return true;
    const std::string mime = data + "/mime";
    const std::string packages = mime + "/packages";
    if (!posix::MakeFolders(packages) ||
        !files::ReplaceFileContents((packages + "/" + kPackageName).c_str(), kPackage.data(),
                                    kPackage.size())) {
        return false;
    }
    // A database that could not be rebuilt still has the package, which the next rebuild (by
    // any program's install) takes in: the type is registered either way.
    RebuildDatabase(mime);
    return true;
}

}  // namespace

bool RegisterFileType() {
    return NoThrow(false, [] { return Register(); });
}

}  // namespace wbh::platform::shell
