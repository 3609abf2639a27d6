// New reader GUIDs. Where the platform offers sequential UUIDs (which can carry the machine's
// network address) or cannot tell, its GUID is used as it comes; otherwise the GUID's node
// bytes are cleared and the 16 bytes hashed with MD5, so the stored identifier carries nothing
// of the machine.
#pragma once

#include <cstdint>

#include "platform/guid.h"

namespace wbh::store {

// -1 not determined yet, 1 the platform offers sequential UUIDs, 0 it does not. Set once, by
// the first AnonymousGuid made when the platform can tell.
std::int32_t& SequentialUuidSupport();

class AnonymousGuid {
public:
    AnonymousGuid();  // runs the probe while SequentialUuidSupport is -1

    // Fills `guid` and returns 0, or returns the platform's failure (negative) and leaves
    // `guid` as it was: a reader must never get the hash of zero bytes that every other failed
    // reader would share.
    platform::HResult Make(platform::Guid& guid) const;
};

}  // namespace wbh::store
