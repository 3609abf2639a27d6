// Parameters file reader. Each platform read starts at 16 bytes and grows until the result is
// known to be whole; the sentinel test comes before the size test, so a value that begins with
// the sentinel is cut to it by the first 16-byte read and ends the whole read.
#include "params/parameters_file.h"

#include <cstring>
#include <new>
#include <string_view>
#include <unordered_set>

#include "common/ascii.h"
#include "common/no_throw.h"
#include "platform/ini.h"

namespace wbh {
namespace {

enum class ReadResult { Found, NotFound, Refused, OutOfMemory };

// The section names already handled, compared as the profile calls compare them: ASCII
// case-insensitively. Open addressing in a table of at least twice as many slots as the list
// has names, made once, so an insert never fails and the whole read costs O(list).
class HandledNames {
public:
    // Room for every name of `list` (NUL-separated, ending with an empty one); false when memory
    // runs out.
    bool Reserve(const char* list) {
        // Under 2^30 names in a list under 2 GiB: the sizes fit 32 bits, and so `new` needs no
        // overflow check (whose exception nothing here would catch).
        std::uint32_t count = 0;
        for (const char* pos = list; *pos != '\0'; pos += std::strlen(pos) + 1) ++count;
        mask_ = 1;
        while (mask_ < 2 * count) mask_ *= 2;
        slots_.reset(new (std::nothrow) const char*[mask_]());
        mask_ -= 1;
        return slots_ != nullptr;
    }
    // False when the name was handled before; else it is now. `name` must outlive the set.
    bool Insert(const char* name) {
        for (std::size_t i = Hash(name) & mask_;; i = (i + 1) & mask_) {
            if (slots_[i] == nullptr) {
                slots_[i] = name;
                return true;
            }
            if (EqualsNoCase(slots_[i], name)) return false;
        }
    }

private:
    static std::size_t Hash(const char* name) {
        std::uint64_t hash = 14695981039346656037u;  // FNV-1a
        for (const char* c = name; *c != '\0'; ++c) {
            hash = (hash ^ static_cast<unsigned char>(AsciiLower(*c))) * 1099511628211u;
        }
        return static_cast<std::size_t>(hash);
    }

    std::unique_ptr<const char*[]> slots_;
    std::uint32_t mask_ = 0;
};

// One platform read (section list, key list or value) into a buffer large enough for it. The
// buffer holds the answer only when it was found.
ReadResult ReadWhole(const char* file, const char* section, const char* key,
                     std::unique_ptr<char[]>& buffer, std::uint32_t& length, std::uint32_t& size) {
    size = sizeof kNotFoundSentinel;
    for (;;) {
        buffer.reset(new (std::nothrow) char[size]);
        if (!buffer) return ReadResult::OutOfMemory;
        buffer[0] = '\0';
        length = platform::IniReadString(section, key, kNotFoundSentinel, buffer.get(), size, file);
        if (length == platform::kIniFailed) return ReadResult::OutOfMemory;
        if (length == platform::kIniRefused) return ReadResult::Refused;
        if (EqualsNoCase(buffer.get(), kNotFoundSentinel)) return ReadResult::NotFound;
        if (length + 2 < size) return ReadResult::Found;  // not cut
        size = ParametersFile::NextSize(size);
        if (size == 0) return ReadResult::OutOfMemory;
    }
}

}  // namespace

std::uint32_t ParametersFile::NextSize(std::uint32_t size) {
    constexpr std::uint32_t kLinearUntil = 1040;
    constexpr std::uint32_t kLargest = 0x7FFFFFFF;
    if (size < kLinearUntil) return size + 256;
    if (size > kLargest / 2) return 0;
    return size * 2;
}

int ReadParametersFile(const char* file, EntryHandler handler) {
    return ParametersFile().ReadAll(file, handler);
}

int ParametersFile::ReadAll(const char* file, EntryHandler handler) const {
    if (file == nullptr || file[0] == '\0') return 1;

    std::unique_ptr<char[]> sections;
    std::uint32_t sections_length = 0;
    std::uint32_t sections_size = 0;
    switch (ReadWhole(file, nullptr, nullptr, sections, sections_length, sections_size)) {
        case ReadResult::OutOfMemory:
            return 0;
        case ReadResult::NotFound:
        case ReadResult::Refused:
            return 1;
        case ReadResult::Found:
            break;
    }
    if (sections_length == 0) return 1;

    std::unique_ptr<char[]> section(new (std::nothrow) char[sections_size]);
    if (!section) return 0;
    // A repeated section is listed once per header, but every read of its name gives the first
    // one's entries: handling the name again would change nothing and cost a read per key.
    HandledNames handled;
    if (!handled.Reserve(sections.get())) return 0;
    for (const char* pos = sections.get(); *pos != '\0';) {
        const char* name = pos;  // stays in `sections` for the whole read
        pos = NextListString(pos, section.get());
        if (!handled.Insert(name)) continue;

        std::unique_ptr<char[]> keys;
        std::uint32_t keys_length = 0;
        std::uint32_t keys_size = 0;
        const ReadResult listed =
            ReadWhole(file, section.get(), nullptr, keys, keys_length, keys_size);
        if (listed == ReadResult::OutOfMemory) return 0;
        if (listed != ReadResult::Found || keys_length == 0) continue;

        std::unique_ptr<char[]> key(new (std::nothrow) char[keys_size]);
        if (!key) return 0;
        for (const char* kpos = keys.get(); *kpos != '\0';) {
            kpos = NextListString(kpos, key.get());
            if (ReadEntry(file, section.get(), key.get(), handler) == 0) return 0;
        }
    }
    return 1;
}

int ParametersFile::ReadEntry(const char* file, const char* section, const char* key,
                              EntryHandler handler) const {
    std::unique_ptr<char[]> value;
    std::uint32_t length = 0;
    std::uint32_t size = 0;
    switch (ReadWhole(file, section, key, value, length, size)) {
        case ReadResult::Found:
            return handler(section, key, value.get());
        case ReadResult::Refused:
            // Left out like a value that does not fit: what was given before it stands.
            return 1;
        case ReadResult::NotFound:
        case ReadResult::OutOfMemory:
            break;
    }
    return 0;
}

const char* ParametersFile::NextListString(const char* pos, char* out) const {
    const std::size_t length = std::strlen(pos);
    std::memcpy(out, pos, length + 1);
    return pos + length + 1;
}

}  // namespace wbh
