// The sequential-UUID probe on Windows: undetermined while the RPC runtime is not loaded (a
// failing GetModuleHandle stands for that), asked again at the next construction, then fixed.
#include <gtest/gtest.h>

#include "platform/portable/fault.h"
#include "store/anonymous_guid.h"

namespace wbh::store {
namespace {

TEST(SequentialUuidProbe, AsksAgainUntilTheRuntimeIsLoaded) {
    const std::int32_t saved = SequentialUuidSupport();
    SequentialUuidSupport() = -1;
    platform::fault::FailCall("GetModuleHandle");
    { const AnonymousGuid not_loaded; }
    EXPECT_EQ(-1, SequentialUuidSupport());
    platform::fault::Reset();
    { const AnonymousGuid loaded; }
    EXPECT_EQ(1, SequentialUuidSupport()) << "ole32 loads rpcrt4, which has UuidCreateSequential";
    platform::fault::FailCall("GetProcAddress");
    { const AnonymousGuid again; }
    EXPECT_EQ(1, SequentialUuidSupport()) << "the answer is kept";
    platform::fault::Reset();
    SequentialUuidSupport() = saved;
}

}  // namespace
}  // namespace wbh::store
