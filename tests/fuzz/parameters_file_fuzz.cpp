// The parameters file reader over the POSIX INI files, on any file: each entry handed on is
// made of NUL-terminated texts no longer than the file that keep to the INI line grammar, and
// the platform INI reads stay linear in the file's size.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "params/parameters_file.h"
#include "platform/portable/fault.h"

namespace {

std::size_t g_size = 0;  // of the file being read

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

bool Holds(const char* text, const char* bytes) { return std::strpbrk(text, bytes) != nullptr; }

int Count(const char* section, const char* key, const char* value) {
    Check(section != nullptr && value != nullptr);  // the key may be null by the contract
    Check(std::strlen(section) <= g_size && std::strlen(value) <= g_size);
    Check(!Holds(section, "\n]") && !Holds(value, "\n"));
    Check(key == nullptr || (std::strlen(key) <= g_size && !Holds(key, "\n=")));
    return 1;
}

// One file per process, rewritten for every input. Its modification time is the run's number,
// so the INI layer's cache, which knows a file by its size and times, never takes it for the
// previous input written within the same clock tick.
struct InputFile {
    std::string path;
    int fd = -1;
    InputFile() {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/wbh-fuzz-parameters-XXXXXX";
        fd = mkstemp(path.data());
        Check(fd >= 0);
    }
    ~InputFile() { unlink(path.c_str()); }
    void Write(const std::uint8_t* data, std::size_t size, long run) {
        Check(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
        Check(ftruncate(fd, static_cast<off_t>(size)) == 0);
        const struct timespec times[2] = {{run, 0}, {run, 0}};
        Check(futimens(fd, times) == 0);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile file;
    static long run = 0;
    file.Write(data, size, ++run);
    g_size = size;

    wbh::platform::fault::Reset();
    wbh::ReadParametersFile(file.path.c_str(), Count);
    // A line costs at most one read (a header its key list, an entry its value) and takes three
    // bytes at least ("k=" and its line end); a list or value that outgrows a buffer has paid
    // for the larger read with the bytes it outgrew it by. The 4: the section list of a file
    // too short to pay for its own reads ("[a]" takes two).
    const long reads = wbh::platform::fault::CallCount("GetPrivateProfileString");
    Check(reads <= static_cast<long>(size / 2 + 4));
    return 0;
}
