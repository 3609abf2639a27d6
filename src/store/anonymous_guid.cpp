// AnonymousGuid: the probe, the plain path and the anonymising path.
#include "store/anonymous_guid.h"

#include "store/md5.h"

namespace wbh::store {

std::int32_t& SequentialUuidSupport() {
    static std::int32_t support = -1;
    return support;
}

AnonymousGuid::AnonymousGuid() {
    if (SequentialUuidSupport() == -1) SequentialUuidSupport() = platform::ProbeSequentialUuid();
}

platform::HResult AnonymousGuid::Make(platform::Guid& guid) const {
    if (SequentialUuidSupport() != 0) return platform::NewGuid(guid);

    platform::Guid fresh{};
    const platform::HResult made = platform::NewGuid(fresh);
    if (made < 0) return made;
    std::uint8_t bytes[16];
    platform::GuidToBytes(fresh, bytes);
    for (int i = 10; i < 16; ++i) bytes[i] = 0;  // the node field

    Md5Context context;
    Md5Init(context);
    Md5Update(context, bytes, sizeof bytes);
    std::uint8_t digest[16];
    Md5Final(digest, context);
    guid = platform::GuidFromBytes(digest);
    return 0;
}

}  // namespace wbh::store
