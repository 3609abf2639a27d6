// The libFuzzer targets, one program each: FUZZ_TARGET names the function below that checks the
// program's code on any input. The sanitizers catch crashes and overruns; the checks here are the
// few promises a caller relies on, and a broken one traps.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/ascii.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"
#include "platform/portable/resource_script.h"
#include "platform/posix/text_files/windows_1252.h"
#include "setup/tracking_script.h"
#include "support/fault_injection.h"

namespace fuzz {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// The text up to its first NUL: the program gets C strings.
std::string CString(std::string_view input) {
    return std::string(input.substr(0, input.find('\0')));
}

// --- The option scanner: names hold no white space, names and values are made of the text's
// own bytes, and a handler's 0 ends the scan at once.

void option_scanner(std::string_view input) {
    const std::string text = CString(input);
    std::size_t pairs = 0, used = 0;  // used: bytes of names, values and their markers
    bool stop = false;
    const auto record = [&](const char* name, const char* value) {
        Check(std::none_of(name, name + std::strlen(name), wbh::IsSpace));
        ++pairs;
        used += 1 + std::strlen(name) + std::strlen(value);
        return stop ? 0 : 1;
    };
    Check(wbh::ScanCommandLine(text.c_str(), record) == 1 && used <= text.size());
    if (pairs == 0) return;
    pairs = 0;
    stop = true;
    Check(wbh::ScanCommandLine(text.c_str(), record) == 0 && pairs == 1);
}

// --- The parameters file reader over the POSIX INI files: names at most half as long again as
// the file (UTF-16 made UTF-8), values at most three times (Windows-1252 made UTF-8), values UTF-8
// without a line end, and INI reads linear in the file's size.

// One file rewritten for every input, its modification time the run's number: the INI layer's
// cache knows a file by its size and times, and must not take it for the previous input.
struct InputFile {
    std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/wbh-fuzz-parameters-XXXXXX";
    }();
    int fd = mkstemp(path.data());
    ~InputFile() { unlink(path.c_str()); }
};

void parameters_file(std::string_view input) {
    static InputFile file;
    static long runs = 0;
    ++runs;
    const struct timespec times[2] = {{runs, 0}, {runs, 0}};
    const auto size = static_cast<ssize_t>(input.size());
    Check(file.fd >= 0 && pwrite(file.fd, input.data(), input.size(), 0) == size);
    Check(ftruncate(file.fd, size) == 0 && futimens(file.fd, times) == 0);
    const std::size_t most = 3 * input.size();
    const auto entry = [&](const char* section, const char* key, const char* value) {
        Check(section != nullptr && value != nullptr);  // the key may be null by the contract
        Check(2 * std::strlen(section) <= most && std::strlen(value) <= most);
        Check(wbh::platform::posix::IsUtf8(value) && std::strchr(value, '\n') == nullptr);
        Check(key == nullptr || 2 * std::strlen(key) <= most);
        return 1;
    };
    wbh::platform::fault::Reset();
    wbh::ReadParametersFile(file.path.c_str(), entry);
    // A line costs at most one read and takes three bytes at least ("k=" and its line end); a
    // buffer outgrown has been paid for by the bytes that outgrew it. The 4: the section list of
    // a file too short to pay for its own reads.
    const long reads = wbh::platform::fault::CallCount("profile read");
    Check(reads <= static_cast<long>(input.size() / 2 + 4));
}

// --- The resource script reader: a refusal names a line of the text; a script read has its
// controls WS_CHILD | WS_VISIBLE.

void resource_script(std::string_view text) {
    wbh::platform::ResourceScript script;
    std::string error;
    if (!wbh::platform::ParseResourceScript(text, script, error)) {
        Check(error.compare(0, 5, "line ") == 0);
        const long line = std::strtol(error.c_str() + 5, nullptr, 10);
        Check(line >= 1 && line <= 1 + std::count(text.begin(), text.end(), '\n'));
        return;
    }
    for (const auto& [id, dialog] : script.dialogs) {
        for (const auto& c : dialog.controls) Check((c.style & 0x50000000u) == 0x50000000u);
    }
}

// --- JavaScriptString: one double-quoted literal that no byte of the text can end early, with no
// raw control character.

void javascript_string(std::string_view input) {
    const std::string literal = wbh::JavaScriptString(CString(input).c_str());
    Check(literal.size() >= 2 && literal.front() == '"' && literal.back() == '"');
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(literal[i]);
        Check(c != '"' && c >= 0x20 && c != 0x7F);
        if (c == '\\') Check(++i + 1 < literal.size());  // escapes a byte of the body
    }
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FUZZ_TARGET(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
