// The store on the platform's registry (SQLite natively, the real one under Wine): RegKey, the
// referral records beyond what the whole runs show, and the reader's anonymous identifier.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/guid.h"
#include "store/anonymous_guid.h"
#include "store/reader_id.h"
#include "store/referrals.h"
#include "store/reg_key.h"
#include "store/store_layout.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/repeat.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;
constexpr reg::Root kUser = reg::Root::kCurrentUser;
const std::string kReferrals = kReferralsKey;
const std::string kBook = kReferrals + "\\b1";

std::string Cyrillic(int characters) { return test::Repeat("\xD0\x96", characters); }  // Ж

constexpr char kScratch[] = "Software\\Quarlo\\Scratch";

// The text as the program reads it, or "<code N>" when the query failed (which must empty it).
std::string ReadText(RegKey& key, const char* name) {
    StoredText text;
    text.Assign("garbage");
    const long result = key.QueryText(text, name);
    if (result != 0) EXPECT_STREQ("", text.CStr()) << "cleared after code " << result;
    return result == 0 ? text.CStr() : "<code " + std::to_string(result) + ">";
}

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, scratch_.Create(reg::RootKey(kUser), kScratch, kKeyAllAccess));
    }
    const test::RegistrySandbox sandbox_;
    RegKey scratch_;
};

TEST_F(RegKeyTest, AccessMasks) {
    ASSERT_EQ(0, scratch_.SetString("kept", "v"));
    RegKey reader;
    ASSERT_EQ(0, reader.Open(reg::RootKey(kUser), kScratch, kKeyRead));
    EXPECT_EQ(reg::kAccessDenied, reader.SetString("changed", "v"));
    EXPECT_EQ(reg::kAccessDenied, reader.DeleteValue("v"));
    EXPECT_EQ("kept", ReadText(reader, "v"));

    RegKey writer;
    ASSERT_EQ(0, writer.Open(reg::RootKey(kUser), kScratch, kKeySetValue));
    EXPECT_EQ("<code 5>", ReadText(writer, "v"));
    EXPECT_EQ(0, writer.SetString("changed", "v"));
    EXPECT_EQ("changed", ReadText(reader, "v"));
    fault::FailCall("value write");
    EXPECT_NE(0, writer.SetString("lost", "v")) << "the system refused the write beneath";
    fault::Reset();
    EXPECT_EQ("changed", ReadText(reader, "v"));
}

// An assignment closes the key it replaces.
TEST_F(RegKeyTest, AMovedKeyIsClosedOnce) {
    fault::Reset();
    // Counted where closing is a system call (Windows); the sanitizers see a double free.
    const bool counted = fault::Injectable("key close");
    {
        RegKey second(std::move(scratch_));
        EXPECT_EQ(reg::kInvalidHandle, scratch_.SetString("lost", "v")) << "left empty";
        RegKey third;
        ASSERT_EQ(0, third.Open(reg::RootKey(kUser), kScratch, kKeyRead));
        third = std::move(second);
        if (counted) EXPECT_EQ(1, fault::CallCount("key close")) << "the key third held";
        EXPECT_EQ(0, third.SetString("assigned", "v"));
        EXPECT_EQ("assigned", ReadText(third, "v"));
    }
    if (counted) EXPECT_EQ(2, fault::CallCount("key close"));
}

// A value of any type is present when a reader takes it: kTextCharacters bytes at most. A text
// reads up to kTextCharacters characters (a stored terminator counted), two-byte ones too.
TEST_F(RegKeyTest, AValueIsThereUpToWhatAReaderTakes) {
    const std::string longest = Cyrillic(kTextCharacters - 1);
    const struct {
        std::optional<test::StoredValue> stored;
        bool present;
        std::optional<std::string> read;
    } rows[] = {
        {std::nullopt, false},
        {test::DwordValue(0), true},
        {test::StoredValue{reg::kTypeBinary, std::string(kTextCharacters, '\x7F')}, true},
        {test::StoredValue{reg::kTypeBinary, std::string(kTextCharacters + 1, '\x7F')}, false},
        {test::TextValue(std::string(kTextCharacters - 1, 't')), true},
        {test::TextValue(std::string(kTextCharacters, 't')), false},
        {test::TextValue(longest), false, longest},
        {test::TextValue(longest + "\xD0\x96"), false, "<code 234>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored ? row.stored->bytes.size() : 0);
        scratch_.DeleteValue("v");
        if (row.stored) ASSERT_TRUE(test::Store(kUser, kScratch, "v", *row.stored));
        EXPECT_EQ(row.present, scratch_.HasValue("v"));
        if (row.read) EXPECT_EQ(*row.read, ReadText(scratch_, "v"));
    }
}

// A book's answer is 1 unless its own key stores one; its install directory goes only on a book
// key that exists.
TEST(Referrals, OnlyTheBooksOwnKeyIsReadAndItIsNeverMadeForTheFolder) {
    const test::RegistrySandbox sandbox;
    EXPECT_EQ(1u, ReadBookAnswer("b1"));
    ASSERT_TRUE(test::Store(kUser, kReferrals, "ReaderTrack", test::DwordValue(0)));
    EXPECT_EQ(1u, ReadBookAnswer("b1")) << "a value on Referrals itself is not the book's";
    WriteInstallDirectory("b1", "D:\\b1");
    EXPECT_FALSE(test::KeyExists(kUser, kBook)) << "the book key must not be made";
    WriteInstallDirectory("", "D:\\b1");  // the empty id would name the Referrals key itself
    EXPECT_FALSE(test::Stored(kUser, kReferrals, "Install Directory"));
    ASSERT_TRUE(test::MakeKey(kUser, kBook));
    EXPECT_EQ(1u, ReadBookAnswer("b1"));
    ASSERT_TRUE(test::Store(kUser, kBook, "ReaderTrack", test::DwordValue(2)));
    EXPECT_EQ(2u, ReadBookAnswer("b1"));
}

// A book's id is a key path below Referrals: an id the registry's path limits refuse records
// nothing, on both platforms alike, and still counts as a refusal.
TEST(Referrals, ABookIdIsRecordedWhenItFitsAKeyPath) {
    const struct {
        std::string id;
        std::uint32_t books;  // keys below Referrals afterwards; 0: nothing recorded
    } rows[] = {
        {"a\\b\\", 1},                                             // nested keys
        {"\\b1", 0},                                               // no leading backslash
        {std::string(256, 'n'), 1},                                // the longest name
        {std::string(257, 'n'), 0},                                // a name too long
        {std::string(200, 'n') + "\\" + std::string(59, 'n'), 1},  // the longest path
        {std::string(200, 'n') + "\\" + std::string(60, 'n'), 0},  // a path too long
        // Characters, not bytes: Cyrillic ones take two bytes each.
        {Cyrillic(255), 1},
        {Cyrillic(200) + "\\" + Cyrillic(59), 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id.substr(0, 20) + "... " + std::to_string(row.id.size()));
        const test::RegistrySandbox sandbox;
        WriteReferral(row.id.c_str(), {"u", "s", "p"}, 0);
        EXPECT_EQ(0u, ReadBookAnswer(row.id.c_str()));
        std::uint32_t books = 99;
        EXPECT_EQ(row.books ? "u" : "",
                  std::string(ReadBookRecord(row.id.c_str(), &books).user_id.CStr()));
        EXPECT_EQ(row.books, books);
    }
}

class ReaderIdTest : public ::testing::Test {
protected:
    void TearDown() override {
        SequentialUuidSupport() = saved_;
        fault::Reset();
    }
    std::int32_t saved_ = SequentialUuidSupport();
};

// What the system's next new GUID is; a random (version 4) one, as POSIX makes it.
constexpr char kPlanted[] = "{00112233-4455-4677-8899-AABBCCDDEEFF}";
constexpr char kHash[] = "{368FCCCA-D7D7-5315-6501-EDE9C167F581}";  // kPlanted's, node left out

constexpr char kUpper[] = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
constexpr char kLower[] = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}";
constexpr char kOther[] = "{11111111-2222-3333-4444-555555555555}";

std::optional<std::string> UserDataText(const char* name) {
    const auto value = test::Stored(kUser, kUserDataKey, name);
    if (!value) return {};
    EXPECT_EQ(reg::kTypeString, value->type) << name;
    return std::string(value->bytes.c_str());
}

// Any new GUID is made from kPlanted and anonymised; the `nth` call of `failing` from the
// start fails (rows the platform cannot fail are left out).
TEST_F(ReaderIdTest, EnsureKeepsTakesOrMakesAndNeverLosesAValidIdentifier) {
    const struct {
        const char* name;
        const char* failing;
        std::optional<std::string> reader_id, user_id, expected;
        long nth = 1;
    } rows[] = {
        {"valid lower-case ReaderID kept as stored", "", kLower, kOther, kLower},
        {"no ReaderID, UserID taken in upper case", "", {}, kLower, kUpper},
        {"a program name, which COM reads too", "", "Shell.Application", kLower, kUpper},
        {"a G among the digits", "", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}", kLower, kUpper},
        {"+ for a hyphen", "", "{0A1B2C3D+4E5F-6071-8293-A4B5C6D7E8F9}", kLower, kUpper},
        {"no closing brace", "", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9)", kLower, kUpper},
        {"empty ReaderID, invalid UserID", "", "", "{oops}", kHash},
        {"read again before the write", "value read", kLower, kOther, kLower},
        {"the invalid one deleted all the same", "value write", "invalid", kOther, {}},
        // Opened for ReaderID, for UserID, then made for the write.
        {"no key", "key", "invalid", kOther, "invalid", 3},
        {"no text, so nothing to store", "guid text", "invalid", kOther, "invalid"},
        {"no GUID", "new guid", "invalid", {}, "invalid"},
    };
    SequentialUuidSupport() = 0;
    platform::Guid planted;
    ASSERT_TRUE(platform::ParseBracedGuid(kPlanted, planted));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (*row.failing != '\0' && !fault::Injectable(row.failing)) continue;
        const test::RegistrySandbox sandbox;
        for (const auto& [name, text] : {std::pair(kReaderIdValue, row.reader_id),
                                         std::pair(kProductUserIdValue, row.user_id)}) {
            if (text) ASSERT_TRUE(test::Store(kUser, kUserDataKey, name, test::TextValue(*text)));
        }
        fault::Reset();
        fault::PlantGuid(planted);
        fault::FailNthCall(row.failing, row.nth);
        EXPECT_EQ(1, EnsureReaderId());
        fault::Reset();
        EXPECT_EQ(row.user_id, UserDataText(kProductUserIdValue)) << "UserID is never written";
        EXPECT_EQ(row.expected, UserDataText(kReaderIdValue));
    }
}

// A GUID's text takes 39 bytes with its terminator: a buffer one byte short gets an empty text.
TEST(GuidText, TakesItsWholeBuffer) {
    platform::Guid guid;
    ASSERT_TRUE(platform::ParseBracedGuid(kPlanted, guid));
    char text[sizeof kPlanted] = "x";
    EXPECT_FALSE(platform::FormatGuidText(guid, text, sizeof text - 1));
    EXPECT_STREQ("", text);
    EXPECT_TRUE(platform::FormatGuidText(guid, text, sizeof text));
    EXPECT_STREQ(kPlanted, text);
}

}  // namespace
}  // namespace wbh::store
