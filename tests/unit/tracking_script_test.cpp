// The tracking script's eight variables, byte for byte, from each state of the store (a whole
// script: tests/e2e/setup_test.sh; the reader component's: tests/win32/text_boundary_test.cpp).
#include "setup/tracking_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/setup_flow.h"
#include "store/store_layout.h"
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

TEST(TrackingScriptTest, WhatIsStoredOrMissing) {
    const test::RegistrySandbox sandbox;
    const test::TempDir dir;
    SetupParameters p;
    p.readerJSfullpath.Assign(dir.File("track.js"));
    p.autorunbookid.Assign("b1");
    p.trackingallowed = 1;
    const auto variables = [&] {  // after the header comment, which the e2e story checks
        const std::string script = dir.Read("track.js");
        return script.substr(std::min(script.find("var AuthorUser"), script.size()));
    };
    // A ReaderID that does not fit the 512-byte buffer counts as absent; the book key is
    // missing while another book is recorded.
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID",
                            test::TextValue(std::string(512, 'x'))));
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b2"));
    WriteTrackingScript(p);
    EXPECT_EQ(Lines({"", "", "", kNoReaderId, "1", "", ""}), variables());

    const std::string longest(511, 'u');  // the longest text a reader takes
    ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "UserID", test::TextValue(longest)));
    ASSERT_TRUE(test::Store(kUser, store::kUserDataKey, "ReaderID", test::TextValue(kReaderId)));
    EXPECT_EQ(1, WriteTrackingScript(p));
    EXPECT_EQ(Lines({longest, "", "", kReaderId, "2", "", ""}), variables());

    // Refused: the author's values still, but neither the reader's id nor the count.
    p.trackingallowed = 0;
    WriteTrackingScript(p);
    EXPECT_EQ(Lines({longest, "", "", "{00000000-0000-0000-0000-000000000001}", "0", "", ""}),
              variables());
}

TEST(JavaScriptString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ("\"a\\\"b\\\\c\\r\\n\\x09\\x01\\x7F\xC3\xA9 ~\"",
              JavaScriptString("a\"b\\c\r\n\t\x01\x7F\xC3\xA9 ~"));
}

}  // namespace
}  // namespace wbh
