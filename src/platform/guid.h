// GUIDs: new ones, and their 38-character registry text "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
// Windows uses the COM functions (CoCreateGuid, CLSIDFromString, StringFromCLSID); POSIX takes
// new GUIDs from the kernel's random source and reads and writes the text itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace wbh::platform {

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// A COM result code: negative for failure.
using HResult = std::int32_t;

// A new unique GUID. On failure (a negative result) `guid` is as it was.
HResult NewGuid(Guid& guid);
// Parses a GUID text; false (and `guid` as it was) when the platform does not accept it.
bool ParseGuidText(const char* text, Guid& guid);
// Writes the braced upper-case text and its NUL into `text` (size bytes, at least 39).
// False, with `text` empty, when the platform gives no text or it does not fit.
bool FormatGuidText(const Guid& guid, char* text, std::size_t size);
// Whether the platform offers sequential UUIDs: 1 yes, 0 no, -1 cannot tell yet (Windows: the
// RPC runtime is not loaded; it is never loaded just to ask).
int ProbeSequentialUuid();

// Shared by both platforms ------------------------------------------------------------------

// The 16-byte image: data1, data2, data3 little-endian, then data4 in order.
void GuidToBytes(const Guid& guid, std::uint8_t (&bytes)[16]);
Guid GuidFromBytes(const std::uint8_t (&bytes)[16]);
// True when `text` is exactly the braced form, with hexadecimal digits in either case.
bool ParseBracedGuid(std::string_view text, Guid& guid);
// The braced form in upper case, with its NUL.
void FormatBracedGuid(const Guid& guid, char (&text)[39]);

}  // namespace wbh::platform
