// GUIDs on POSIX: new ones from the kernel's random source (getrandom), as random (version 4)
// GUIDs; the text is read and written directly. No sequential UUIDs are offered, so the program
// always anonymises what it stores.
#include "platform/guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/system_calls.h"

namespace wbh::platform {
namespace {

constexpr HResult kFailed = static_cast<HResult>(0x80004005u);  // E_FAIL
constexpr int kMostInterruptions = 100;

}  // namespace

HResult NewGuid(Guid& guid) {
    std::uint8_t bytes[16];
    std::size_t filled = 0;
    // A signal may cut a read short or interrupt it; a source that keeps being interrupted is
    // given up on rather than waited for without end.
    for (int interrupted = 0; filled < sizeof bytes;) {
        const ssize_t got = posix::Sys().getrandom(bytes + filled, sizeof bytes - filled, 0);
        if (got < 0 && errno == EINTR && ++interrupted < kMostInterruptions) continue;
        if (got <= 0) return kFailed;
        filled += static_cast<std::size_t>(got);
    }
    bytes[7] = static_cast<std::uint8_t>((bytes[7] & 0x0F) | 0x40);  // version 4 (in Data3)
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    guid = GuidFromBytes(bytes);
    return 0;
}

bool ParseGuidText(const char* text, Guid& guid) {
    return text != nullptr && ParseBracedGuid(text, guid);
}

bool FormatGuidText(const Guid& guid, char* text, std::size_t size) {
    if (size > 0) text[0] = '\0';
    char braced[39];
    FormatBracedGuid(guid, braced);
    if (size < sizeof braced) return false;
    std::memcpy(text, braced, sizeof braced);
    return true;
}

int ProbeSequentialUuid() { return 0; }

}  // namespace wbh::platform
