// The tracking script's eight variables, byte for byte, from each state of the store and of the
// reader component. (An installed book's whole script is checked by tests/e2e/setup_test.sh.)
#include "setup/tracking_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/setup_flow.h"
#include "store/store_layout.h"
#include "support/fault_injection.h"
#include "support/reader_component_stand_in.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
constexpr reg::Root kUser = reg::Root::kCurrentUser;
const std::string kReferrals = store::kReferralsKey;
constexpr char kReaderId[] = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
constexpr char kNoReaderId[] = "{00000000-0000-0000-0000-000000000000}";

// The eight lines as the pages must see them, for book b1, from the seven values before its
// id (the fifth, the count, a number); the values here need no escaping.
std::string Lines(std::vector<std::string> values) {
    const char* names[] = {"AuthorUser",         "AuthorSKU", "AuthorPartner", "ReaderUser",
                           "ReaderAutorunCount", "ReaderSKU", "ReaderPartner", "WebBookID"};
    values.push_back("b1");
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string value = i == 4 ? values[i] : "\"" + values[i] + "\"";
        text += "var " + std::string(names[i]) + " = " + value + ";\r\n";
    }
    return text;
}

class TrackingScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        p_.readerJSfullpath.Assign(dir_.File("track.js"));
        p_.autorunbookid.Assign("b1");
        p_.trackingallowed = 1;
    }
    void TearDown() override { platform::fault::Reset(); }

    // The variables after the header comment (which tests/e2e/setup_test.sh checks).
    std::string Variables() {
        const std::string script = dir_.Read("track.js");
        return script.substr(std::min(script.find("var AuthorUser"), script.size()));
    }

    test::RegistrySandbox sandbox_;
    test::TempDir dir_;
    SetupParameters p_;
};

TEST_F(TrackingScriptTest, WhatIsStoredOrMissing) {
    // A ReaderID that does not fit the 512-byte buffer counts as absent; the book key is
    // missing while another book is recorded.
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID",
                            test::TextValue(std::string(512, 'x'))));
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b2"));
    WriteTrackingScript(p_);
    EXPECT_EQ(Lines({"", "", "", kNoReaderId, "1", "", ""}), Variables());

    const std::string longest(511, 'u');  // the longest text a reader takes
    ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "UserID", test::TextValue(longest)));
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID", test::TextValue(kReaderId)));
    EXPECT_EQ(1, WriteTrackingScript(p_));
    EXPECT_EQ(Lines({longest, "", "", kReaderId, "2", "", ""}), Variables());

    // Refused: the author's values still, but neither the reader's id nor the count.
    p_.trackingallowed = 0;
    WriteTrackingScript(p_);
    EXPECT_EQ(Lines({longest, "", "", "{00000000-0000-0000-0000-000000000001}", "0", "", ""}),
              Variables());
}

TEST(JavaScriptString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ("\"a\\\"b\\\\c\\r\\n\\x09\\x01\\x7F\xC3\xA9 ~\"",
              JavaScriptString("a\"b\\c\r\n\t\x01\x7F\xC3\xA9 ~"));
}

// A value the component does not have, or one too long for the reader's buffer, is empty; one
// that fits is never cut.
TEST_F(TrackingScriptTest, ReaderComponentValuesAreTakenWhole) {
    const std::string fits(511, 'a');
    const std::string too_long(600, 'b');
    for (const char* partner : {static_cast<const char*>(nullptr), too_long.c_str()}) {
        {
            const test::ReaderComponentStandIn component(fits.c_str(), partner);
            WriteTrackingScript(p_);
            EXPECT_EQ(0, test::ReaderComponentStandIn::Alive()) << "released";
        }
        EXPECT_EQ(Lines({"", "", "", kNoReaderId, "0", fits, ""}), Variables());
    }
}

}  // namespace
}  // namespace wbh
