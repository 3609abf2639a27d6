// GUIDs on POSIX: new ones from the kernel's random source (getrandom), as random (version 4)
// GUIDs; the text is read and written directly. No sequential UUIDs are offered, so the program
// always anonymises what it stores.
#include "platform/guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "platform/portable/fault.h"

namespace wbh::platform {
namespace {

constexpr HResult kFailed = static_cast<HResult>(0x80004005u);  // E_FAIL

}  // namespace

HResult NewGuid(Guid& guid) {
    if (fault::Fail(fault::Call::kCoCreateGuid)) return kFailed;
    if (fault::TakePlantedGuid(guid)) return 0;
    std::uint8_t bytes[16];
    std::size_t filled = 0;
    while (filled < sizeof bytes) {
        const ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return kFailed;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes[7] = static_cast<std::uint8_t>((bytes[7] & 0x0F) | 0x40);  // version 4 (in Data3)
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    guid = GuidFromBytes(bytes);
    return 0;
}

bool ParseGuidText(const char* text, Guid& guid) {
    if (fault::Fail(fault::Call::kCLSIDFromString)) return false;
    return text != nullptr && ParseBracedGuid(text, guid);
}

bool FormatGuidText(const Guid& guid, char* text, std::size_t size) {
    if (size > 0) text[0] = '\0';
    if (fault::Fail(fault::Call::kStringFromCLSID)) return false;
    char braced[39];
    FormatBracedGuid(guid, braced);
    if (size < sizeof braced) return false;
    std::memcpy(text, braced, sizeof braced);
    return true;
}

int ProbeSequentialUuid() { return 0; }

}  // namespace wbh::platform
