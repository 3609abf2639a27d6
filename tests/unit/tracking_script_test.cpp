// The tracking script as the book's pages read it: the header comment, then the eight
// variables, byte for byte, from each state of the store and of the reader component.
#include "setup/tracking_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/fault.h"
#include "setup/setup_flow.h"
#include "store/store_layout.h"
#include "support/reader_component_stand_in.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;
constexpr reg::Root kUser = reg::Root::kCurrentUser;
const std::string kReferrals = store::kReferralsKey;
const std::string kUserData = store::kUserDataKey;
constexpr char kReaderId[] = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
constexpr char kHeaderEnd[] = "*/\r\n\r\n\r\n";

struct Script {
    std::string author_user, author_sku, author_partner, reader_user;
    int count;
    std::string reader_sku, reader_partner, book_id;
};

// The eight lines as the pages must see them; the values here need no escaping.
std::string Lines(const Script& s) {
    return "var AuthorUser = \"" + s.author_user + "\";\r\n" +
           "var AuthorSKU = \"" + s.author_sku + "\";\r\n" +
           "var AuthorPartner = \"" + s.author_partner + "\";\r\n" +
           "var ReaderUser = \"" + s.reader_user + "\";\r\n" +
           "var ReaderAutorunCount = " + std::to_string(s.count) + ";\r\n" +
           "var ReaderSKU = \"" + s.reader_sku + "\";\r\n" +
           "var ReaderPartner = \"" + s.reader_partner + "\";\r\n" +
           "var WebBookID = \"" + s.book_id + "\";\r\n";
}

class TrackingScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        p_.readerJSfullpath.Assign(dir_.File("track.js"));
        p_.autorunbookid.Assign("b1");
        p_.trackingallowed = 1;
    }
    void TearDown() override { fault::Reset(); }

    // Three books recorded, this one with its author's identifiers, and the reader's id.
    static void StoreThreeBooks() {
        ASSERT_TRUE(test::Store(kUser, kUserData, "ReaderID", test::TextValue(kReaderId)));
        const std::string book = kReferrals + "\\b1";
        ASSERT_TRUE(test::Store(kUser, book, "UserID", test::TextValue("author")));
        ASSERT_TRUE(test::Store(kUser, book, "QuarloSKU", test::TextValue("QRL-1")));
        ASSERT_TRUE(test::Store(kUser, book, "PartnerID", test::TextValue("partner")));
        ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b2"));
        ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b3"));
    }

    // The variables after the header, which must be a comment ending in two empty lines.
    std::string Variables() {
        const std::string script = dir_.Read("track.js");
        const std::size_t end = script.find(kHeaderEnd);
        if (script.rfind("/*\r\n", 0) != 0 || end == std::string::npos) return "<no header>";
        for (std::size_t i = 0; i < script.size(); ++i) {
            if (script[i] == '\n' && (i == 0 || script[i - 1] != '\r')) return "<bare LF>";
        }
        return script.substr(end + sizeof kHeaderEnd - 1);
    }

    test::RegistrySandbox sandbox_;
    test::TempDir dir_;
    SetupParameters p_;
};

TEST_F(TrackingScriptTest, TrackingAllowedOrRefused) {
    StoreThreeBooks();
    EXPECT_EQ(1, WriteTrackingScript(p_));
    EXPECT_EQ(Lines({"author", "QRL-1", "partner", kReaderId, 3, "", "", "b1"}), Variables());

    // Refused: the author's values still, but neither the reader's id nor the count.
    p_.trackingallowed = 0;
    WriteTrackingScript(p_);
    EXPECT_EQ(Lines({"author", "QRL-1", "partner", "{00000000-0000-0000-0000-000000000001}", 0,
                     "", "", "b1"}),
              Variables());
}

TEST_F(TrackingScriptTest, WhatIsMissingFromTheStore) {
    WriteTrackingScript(p_);
    EXPECT_EQ(Lines({"", "", "", "{00000000-0000-0000-0000-000000000000}", 0, "", "", "b1"}),
              Variables())
        << "no Referrals key and no ReaderID";

    // A ReaderID that does not fit the 512-byte buffer counts as absent; the book key is
    // missing while another book is recorded.
    ASSERT_TRUE(test::Store(kUser, kUserData, "ReaderID", test::TextValue(std::string(512, 'x'))));
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals + "\\b2"));
    WriteTrackingScript(p_);
    EXPECT_EQ(Lines({"", "", "", "{00000000-0000-0000-0000-000000000000}", 1, "", "", "b1"}),
              Variables());
}

TEST_F(TrackingScriptTest, ValuesAreExactJavaScriptStrings) {
    ASSERT_TRUE(test::Store(kUser, kReferrals + "\\b1", "UserID",
                            test::TextValue("a\"b\\c\r\n\t\x01\x7F" "é")));
    p_.autorunbookid.Assign("b1");
    WriteTrackingScript(p_);
    const std::string variables = Variables();
    EXPECT_EQ(0u, variables.find("var AuthorUser = \"a\\\"b\\\\c\\r\\n\\x09\\x01\\x7F" "é\";\r\n"))
        << variables;
    EXPECT_EQ("\"\"", JavaScriptString(""));
    EXPECT_EQ("\"\\\"\\\"\"", JavaScriptString("\"\""));
}

TEST_F(TrackingScriptTest, TheFileIsReplacedWholeAndTheHeaderMayBeMissing) {
    dir_.Write("track.js", std::string(10000, 'x'));
    fault::FailCall("LoadString");
    WriteTrackingScript(p_);
    EXPECT_EQ("\r\n\r\n\r\n" + Lines({"", "", "", "{00000000-0000-0000-0000-000000000000}", 0, "",
                                      "", "b1"}),
              dir_.Read("track.js"));
}

TEST_F(TrackingScriptTest, NoPathNoWork) {
    p_.readerJSfullpath.Clear();
    test::ReaderComponentStandIn component("sku", "partner");
    EXPECT_EQ(1, WriteTrackingScript(p_));
    EXPECT_EQ(0, fault::CallCount());
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path()));
}

TEST_F(TrackingScriptTest, ReaderComponentValues) {
    const struct {
        const char* sku;
        const char* partner;
    } rows[] = {{"QRL-LECTEUR", "partenaire"}, {"QRL-LECTEUR", nullptr}, {nullptr, "partenaire"},
                {nullptr, nullptr}, {"", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.sku ? row.sku : "(null)") + " / " +
                     (row.partner ? row.partner : "(null)"));
        {
            test::ReaderComponentStandIn component(row.sku, row.partner);
            WriteTrackingScript(p_);
            EXPECT_EQ(0, test::ReaderComponentStandIn::Alive()) << "released";
        }
        EXPECT_EQ(Lines({"", "", "", "{00000000-0000-0000-0000-000000000000}", 0,
                         row.sku ? row.sku : "", row.partner ? row.partner : "", "b1"}),
                  Variables());
    }
}

}  // namespace
}  // namespace wbh
