// The reader component through the real CoCreateInstance: a stand-in registered for the
// component's class answers, and the program's values, presence and release are checked.
#include "platform/reader_component.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <string>

#include "platform/portable/fault.h"
#include "support/reader_component_stand_in.h"

namespace wbh::platform {
namespace {

using test::ReaderComponentStandIn;

// The run's apartment, as the program's entry holds it.
class ReaderComponentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override {
        fault::Reset();
        CoUninitialize();
    }
};

TEST_F(ReaderComponentTest, ValuesAreTakenWhenGivenNonEmptyAndWhole) {
    const std::string fits(511, 'a');
    const std::string too_long(600, 'b');
    struct Case {
        const char* name;
        const char* sku;
        const char* partner;
        std::string expected_sku;
        std::string expected_partner;
    } const cases[] = {
        {"both", "SKU-42", "partner-7", "SKU-42", "partner-7"},
        {"sku only", "SKU-42", nullptr, "SKU-42", ""},
        {"partner only", nullptr, "partner-7", "", "partner-7"},
        {"neither, null strings", nullptr, nullptr, "", ""},
        {"neither, empty strings", "", "", "", ""},
        {"511 bytes fit, 600 do not", fits.c_str(), too_long.c_str(), fits, ""},
        // Through the ANSI code page, not as UTF-8.
        {"Latin-1", "\xe9t\xe9", "caf\xe9", "\xe9t\xe9", "caf\xe9"},
    };
    for (const Case& c : cases) {
        if (std::string(c.name) == "Latin-1" && GetACP() != 1252) continue;
        SCOPED_TRACE(c.name);
        const ReaderComponentStandIn stand_in(c.sku, c.partner);
        {
            const ReaderComponent component;
            EXPECT_TRUE(component.Present());
            EXPECT_EQ(c.expected_sku, component.Sku().View());
            EXPECT_EQ(c.expected_partner, component.Partner().View());
            EXPECT_EQ(1, ReaderComponentStandIn::Alive()) << "held after the nested CoUninitialize";
        }
        EXPECT_EQ(0, ReaderComponentStandIn::Alive()) << "released with the ReaderComponent";
    }
}

TEST_F(ReaderComponentTest, NoComponentWithoutTheProductOrWhenCreationFails) {
    {
        const ReaderComponent component;
        EXPECT_FALSE(component.Present());
        EXPECT_EQ("", component.Sku().View());
        EXPECT_EQ("", component.Partner().View());
    }
    const ReaderComponentStandIn stand_in("S", "P");
    fault::FailCall("CoCreateInstance");
    const ReaderComponent component;
    EXPECT_FALSE(component.Present());
    EXPECT_EQ("", component.Sku().View());
    EXPECT_EQ(0, ReaderComponentStandIn::Alive());
}

}  // namespace
}  // namespace wbh::platform
