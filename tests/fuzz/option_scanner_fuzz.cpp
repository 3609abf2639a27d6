// The option scanner on any command line: a scan with a handler that goes on returns 1; names
// hold no white space and follow their marker in text order; names and values are made of
// distinct bytes of the text; a handler returning 0 on the k-th pair ends the scan there.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/ascii.h"
#include "params/option_scanner.h"

namespace {

std::vector<std::pair<std::string, std::string>> g_pairs;
std::size_t g_stop_at = 0;  // the pair whose handler call returns 0; 0 for none

int Record(const char* name, const char* value) {
    g_pairs.emplace_back(name, value);
    return g_pairs.size() == g_stop_at ? 0 : 1;
}

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Where the name stands in the text, from `from` on: after a marker, up to white space or the
// end. The earliest such place, so that later names are looked for after it.
std::size_t FindName(const std::string& text, const std::string& name, std::size_t from) {
    for (std::size_t at = from; at + name.size() < text.size(); ++at) {
        const std::size_t end = at + 1 + name.size();
        if ((text[at] == '-' || text[at] == '/') && text.compare(at + 1, name.size(), name) == 0 &&
            (end == text.size() || wbh::IsSpace(text[end]))) {
            return end;
        }
    }
    return std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, strnlen(bytes, size));  // the program gets a C string

    g_pairs.clear();
    g_stop_at = 0;
    Check(wbh::ScanCommandLine(text.c_str(), Record) == 1);
    const auto all = g_pairs;

    std::size_t used = 0;
    std::size_t at = 0;
    for (const auto& [name, value] : all) {
        Check(std::none_of(name.begin(), name.end(), wbh::IsSpace));
        at = FindName(text, name, at);
        Check(at != std::string::npos);
        used += 1 + name.size() + value.size();
    }
    Check(used <= text.size());

    if (all.empty()) return 0;
    g_stop_at = 1 + text.size() % all.size();
    g_pairs.clear();
    Check(wbh::ScanCommandLine(text.c_str(), Record) == 0);
    Check(g_pairs.size() == g_stop_at && std::equal(g_pairs.begin(), g_pairs.end(), all.begin()));
    return 0;
}
