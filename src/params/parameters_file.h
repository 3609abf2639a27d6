// The parameters file: an INI file whose every (section, key, value) entry is handed, in file
// order, to the caller's handler. Reads go through the platform's INI call with the sentinel
// "not_found_error" as default, so a value that reads back as the sentinel means "nothing found".
#pragma once

#include <cstdint>
#include <memory>

#include "common/function_ref.h"

namespace wbh {

// Receives one entry; the texts are valid only during the call. The key may be null.
// Returns non-zero to go on, zero to end the read.
using EntryHandler = FunctionRef<int(const char* section, const char* key, const char* value)>;

inline constexpr char kNotFoundSentinel[] = "not_found_error";

// 1 when every entry was passed (also for no file name, no file, no section);
// 0 when an entry's value read back as the sentinel, a handler returned 0, or memory ran out.
// A value the platform refuses (text that does not convert) is left out, and the read goes on.
int ReadParametersFile(const char* file, EntryHandler handler);

class ParametersFile {
public:
    int ReadAll(const char* file, EntryHandler handler) const;
    int ReadEntry(const char* file, const char* section, const char* key,
                  EntryHandler handler) const;
    // Copies the NUL-terminated string at `pos` into `out` (which must be as large as the
    // list) and returns the position after its NUL.
    const char* NextListString(const char* pos, char* out) const;

    // The buffer sizes one read tries in turn: 16, 272, 528, 784, 1040, then doubling, so that
    // a result of L bytes costs O(L). Returns 0 when no larger size is possible.
    static std::uint32_t NextSize(std::uint32_t size);
};

}  // namespace wbh
