// The reader component through the real CoCreateInstance, inside the run's apartment as the
// program holds it: presence and release. (Its values: the tracking script test.)
#include "platform/reader_component.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include "platform/portable/fault.h"
#include "support/reader_component_stand_in.h"

namespace wbh::platform {
namespace {

using test::ReaderComponentStandIn;

TEST(ReaderComponentWin32, HeldUntilReleasedAndAbsentWhenNotMade) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_FALSE(ReaderComponent().Present()) << "the product is not installed";
    {
        const ReaderComponentStandIn stand_in("S", "P");
        {
            const ReaderComponent component;
            EXPECT_TRUE(component.Present());
            EXPECT_EQ("P", component.Partner().View());
            EXPECT_EQ(1, ReaderComponentStandIn::Alive()) << "held after the nested apartment";
        }
        EXPECT_EQ(0, ReaderComponentStandIn::Alive());
        fault::FailCall("CoCreateInstance");
        const ReaderComponent failed;
        fault::Reset();
        EXPECT_FALSE(failed.Present());
        EXPECT_EQ("", failed.Sku().View());
    }
    CoUninitialize();
}

}  // namespace
}  // namespace wbh::platform
