// The tests' reader component on POSIX is the platform's own stand-in hook; its test checks
// what the component takes from it.
#include "support/reader_component_stand_in.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/reader_component_stand_in.h"
#include "platform/reader_component.h"

namespace wbh::test {

ReaderComponentStandIn::ReaderComponentStandIn(const char* sku, const char* partner) {
    platform::posix::SetReaderComponentStandIn(sku, partner);
}

ReaderComponentStandIn::~ReaderComponentStandIn() {
    platform::posix::ClearReaderComponentStandIn();
}

int ReaderComponentStandIn::Alive() { return platform::posix::ReaderComponentStandInsAlive(); }

namespace {

TEST(PosixReaderComponent, TakesWholeValuesFromTheStandIn) {
    {
        const platform::ReaderComponent none;
        EXPECT_FALSE(none.Present());
        EXPECT_TRUE(none.Sku().Empty());
    }
    const std::string longest(511, 's');
    const std::string too_long(512, 'p');
    {
        ReaderComponentStandIn stand_in(longest.c_str(), too_long.c_str());
        {
            const platform::ReaderComponent component;
            EXPECT_TRUE(component.Present());
            EXPECT_EQ(longest, component.Sku().View());
            EXPECT_TRUE(component.Partner().Empty()) << "a value longer than 511 bytes must be refused, not cut";
            EXPECT_EQ(1, ReaderComponentStandIn::Alive());
        }
        EXPECT_EQ(0, ReaderComponentStandIn::Alive());
    }
    ReaderComponentStandIn stand_in(nullptr, "P");
    const platform::ReaderComponent component;
    EXPECT_TRUE(component.Sku().Empty());
    EXPECT_EQ("P", component.Partner().View());
}

}  // namespace
}  // namespace wbh::test
