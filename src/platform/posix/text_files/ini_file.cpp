// INI parsing and the one-file cache. A broken section header ("[name" without "]") is
// skipped, text after "]" is ignored, and there are no inline comments.
#include "platform/posix/text_files/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/text_files/ini_encoding.h"

namespace wbh::platform::posix {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsIniSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsIniSpace(s.back())) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string lower(s);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

// Identity of a file's contents as seen through its descriptor.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    struct timespec modified = {};
    struct timespec changed = {};

    bool operator==(const Identity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

Identity IdentityOf(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

struct Cache {
    std::string path;
    Identity identity;
    std::unique_ptr<IniFile> parsed;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

UniqueFd OpenRegularFile(const char* path, struct stat& st) {
    UniqueFd fd(Sys().open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) return fd;
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return UniqueFd();
    }
    return fd;
}

bool ReadToEnd(int fd, std::string& text) {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        // A file larger than the memory left fails as a read.
        const bool kept = NoThrow(false, [&] {
            text.append(chunk, static_cast<std::size_t>(n));
            return true;
        });
        if (!kept) {
            errno = ENOMEM;
            return false;
        }
    }
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool IsIniSpace(char c) { return IsSpace(c) || c == '\x1a'; }

IniLine ClassifyIniLine(std::string_view raw) {
    IniLine line;
    const std::string_view text = Trim(raw);
    if (text.empty()) return line;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            line.kind = IniLine::Kind::Other;
            return line;
        }
        line.kind = IniLine::Kind::Section;
        line.name = Trim(text.substr(1, close - 1));
        return line;
    }
    line.kind = IniLine::Kind::Key;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.name = text;
        return line;
    }
    line.name = Trim(text.substr(0, equals));
    line.value = Trim(text.substr(equals + 1));
    line.has_value = true;
    return line;
}

const IniKey* IniSection::Find(std::string_view key) const {
    const auto it = first_key.find(Lower(key));
    return it == first_key.end() ? nullptr : &keys[it->second];
}

const IniSection* IniFile::Find(std::string_view section) const {
    const auto it = first_section.find(Lower(section));
    return it == first_section.end() ? nullptr : &sections[it->second];
}

std::unique_ptr<IniFile> ParseIni(std::string bytes) {
    auto file = std::make_unique<IniFile>();
    IniText decoded = DecodeIni(std::move(bytes));
    file->text = std::move(decoded.text);
    file->from_utf16 = IsUtf16(decoded.encoding);
    file->sections.emplace_back();
    file->first_section.emplace("", 0);

    std::string_view rest = file->text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);

        const IniLine line = ClassifyIniLine(raw);  // a CR before the LF is trimmed as a blank
        if (line.kind == IniLine::Kind::Section) {
            file->first_section.emplace(Lower(line.name), file->sections.size());
            file->sections.push_back(IniSection{line.name, {}, {}});
        } else if (line.kind == IniLine::Kind::Key) {
            IniSection& section = file->sections.back();
            section.first_key.emplace(Lower(line.name), section.keys.size());
            section.keys.push_back(IniKey{line.name, line.value, line.has_value});
        }
    }
    return file;
}

const IniFile* LoadIni(const char* path) {
    Cache& cache = TheCache();
    const auto cached = [&](const struct stat& st) {
        return cache.parsed && cache.path == path && cache.identity == IdentityOf(st);
    };
    // The parameters file reader makes a call per key: while the file is unchanged, a stat
    // answers each (opening the file too made a file of 50,000 keys take twice as long).
    struct stat st;
    if (Sys().stat(path, &st) == 0 && cached(st)) return cache.parsed.get();

    const UniqueFd fd = OpenRegularFile(path, st);
    if (!fd.Valid()) return nullptr;
    if (cached(st)) return cache.parsed.get();

    std::string text;
    const bool read = ReadToEnd(fd.Get(), text);
    cache.parsed.reset();
    if (!read && errno == ENOMEM) throw std::bad_alloc();
    if (!read) return nullptr;
    cache.path = path;
    cache.identity = IdentityOf(st);
    cache.parsed = ParseIni(std::move(text));
    return cache.parsed.get();
}

}  // namespace wbh::platform::posix
