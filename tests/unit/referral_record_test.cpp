// The consent run's record against the platform's registry: the values of a book's referral
// key and LastReaderTrack, their types, which survive a second run, and what a failing call
// leaves out.
#include "consent/referral_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>

#include "consent/consent_flow.h"
#include "platform/clock.h"
#include "platform/portable/fault.h"
#include "store/reader_id.h"
#include "store/reg_key.h"
#include "store/store_layout.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;

using Value = test::StoredValue;

// A value of the current user's registry, or nothing when it or its key is absent.
std::optional<Value> Stored(const std::string& key_path, const char* name) {
    return test::Stored(reg::Root::kCurrentUser, key_path, name);
}

const std::string kReferrals = store::kReferralsKey;
const std::string kBook = kReferrals + "\\b1";

std::optional<Value> Text(const std::string& text) { return test::TextValue(text); }
std::optional<Value> Dword(std::uint32_t n) { return test::DwordValue(n); }

void ExpectValue(const std::optional<Value>& expected, const std::optional<Value>& got,
                 const char* name) {
    SCOPED_TRACE(name);
    ASSERT_EQ(expected.has_value(), got.has_value());
    if (!expected) return;
    EXPECT_EQ(expected->type, got->type);
    EXPECT_EQ(expected->bytes, got->bytes);
}

// The stamp's fields in the order that sorts times, day of the week left out.
using Moment = std::tuple<int, int, int, int, int, int, int>;
Moment MomentOf(const platform::SystemTime& t) {
    return {t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds};
}
Moment MomentOf(const std::string& stamp) {
    auto field = [&](int i) {
        return int(std::uint8_t(stamp[2 * i])) | int(std::uint8_t(stamp[2 * i + 1])) << 8;
    };
    return {field(0), field(1), field(3), field(4), field(5), field(6), field(7)};
}

ConsentParameters Parameters(const char* book, const char* user, const char* sku,
                             const char* partner) {
    ConsentParameters p;
    p.autorunbookid.Assign(book);
    p.authoruserid.Assign(user);
    p.authorquarlosku.Assign(sku);
    p.authorpartnerid.Assign(partner);
    return p;
}

class ReferralRecordTest : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    test::RegistrySandbox sandbox_;
};

TEST_F(ReferralRecordTest, FirstAndSecondRunOfABook) {
    const Moment before = MomentOf(platform::CurrentUtcTime());
    EXPECT_EQ(1, WriteReferralRecord(Parameters("b1", "u1", "sku1", "p1"), 1));
    const Moment after = MomentOf(platform::CurrentUtcTime());

    ExpectValue(Text("u1"), Stored(kBook, "UserID"), "UserID");
    ExpectValue(Text("sku1"), Stored(kBook, "QuarloSKU"), "QuarloSKU");
    ExpectValue(Text("p1"), Stored(kBook, "PartnerID"), "PartnerID");
    ExpectValue(Dword(1), Stored(kBook, "ReaderTrack"), "ReaderTrack");
    ExpectValue(Dword(1), Stored(kReferrals, "LastReaderTrack"), "LastReaderTrack");
    const std::optional<Value> stamp = Stored(kBook, "TimeStamp");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(reg::kTypeBinary, stamp->type);
    ASSERT_EQ(16u, stamp->bytes.size());
    EXPECT_LE(before, MomentOf(stamp->bytes));
    EXPECT_GE(after, MomentOf(stamp->bytes));

    // Again, refused, without a partner: the stamp stays, everything else is replaced.
    EXPECT_EQ(1, WriteReferralRecord(Parameters("B1", "u2", "sku2", ""), 0));
    ExpectValue(Text("u2"), Stored(kBook, "UserID"), "UserID");
    ExpectValue(Text("sku2"), Stored(kBook, "QuarloSKU"), "QuarloSKU");
    ExpectValue(Text(""), Stored(kBook, "PartnerID"), "PartnerID");
    ExpectValue(Dword(0), Stored(kBook, "ReaderTrack"), "ReaderTrack");
    ExpectValue(Dword(0), Stored(kReferrals, "LastReaderTrack"), "LastReaderTrack");
    ExpectValue(stamp, Stored(kBook, "TimeStamp"), "TimeStamp");

    // An acceptance in another book sets the latest answer and leaves this book's.
    WriteReferralRecord(Parameters("b2", "", "", ""), 1);
    ExpectValue(Dword(1), Stored(kReferrals, "LastReaderTrack"), "LastReaderTrack");
    ExpectValue(Dword(0), Stored(kBook, "ReaderTrack"), "ReaderTrack");
}

TEST_F(ReferralRecordTest, NoBookNoRecord) {
    EXPECT_EQ(1, RecordConsent(Parameters("", "u1", "sku1", "p1"), 1));
    EXPECT_FALSE(Stored(kReferrals, "LastReaderTrack"));
    store::RegKey referrals;
    EXPECT_NE(0, referrals.Open(reg::RootKey(reg::Root::kCurrentUser), kReferrals.c_str(),
                                store::kKeyRead));
    // The reader identifier does not depend on a book.
    const std::optional<Value> reader = Stored(store::kUserDataKey, "ReaderID");
    ASSERT_TRUE(reader);
    platform::Guid guid;
    EXPECT_TRUE(store::IsValidGuidText(reader->bytes.c_str(), guid));
}

TEST_F(ReferralRecordTest, AReadableStampOfAnyTypeIsKept) {
    struct Row {
        const char* name;
        Value before;
        bool kept;
    };
    const Row rows[] = {
        {"text", {reg::kTypeString, std::string("hier\0", 5)}, true},
        {"511 bytes of text", {reg::kTypeString, std::string(510, 't') + '\0'}, true},
        {"an empty binary", {reg::kTypeBinary, ""}, true},
        {"512 bytes without a terminator", {reg::kTypeBinary, std::string(512, '\x01')}, true},
        {"513 bytes", {reg::kTypeBinary, std::string(513, '\x01')}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::RegistrySandbox fresh;
        {
            store::RegKey book;
            ASSERT_EQ(0, book.Create(reg::RootKey(reg::Root::kCurrentUser), kBook.c_str(),
                                     store::kKeyAllAccess));
            ASSERT_EQ(0, reg::SetValue(book.Handle(), "TimeStamp", row.before.type,
                                       reinterpret_cast<const std::uint8_t*>(row.before.bytes.data()),
                                       static_cast<std::uint32_t>(row.before.bytes.size())));
        }
        WriteReferralRecord(Parameters("b1", "u", "s", "p"), 0);
        const std::optional<Value> stamp = Stored(kBook, "TimeStamp");
        ASSERT_TRUE(stamp);
        if (row.kept) {
            ExpectValue(row.before, stamp, "TimeStamp");
        } else {
            EXPECT_EQ(reg::kTypeBinary, stamp->type);
            EXPECT_EQ(16u, stamp->bytes.size());
        }
    }
}

TEST_F(ReferralRecordTest, EachFailedWriteLeavesOutOnlyItsValue) {
    // The writes in their order: failing the n-th loses that value alone.
    const std::pair<const std::string*, const char*> writes[] = {
        {&kBook, "UserID"},    {&kBook, "QuarloSKU"},   {&kBook, "PartnerID"},
        {&kBook, "TimeStamp"}, {&kBook, "ReaderTrack"}, {&kReferrals, "LastReaderTrack"}};
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE("failing write " + std::to_string(n));
        test::RegistrySandbox fresh;
        fault::FailNthCall("RegSetValueEx", n);
        EXPECT_EQ(1, WriteReferralRecord(Parameters("b1", "u", "s", "p"), 0));
        fault::Reset();
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(i + 1 != n, Stored(*writes[i].first, writes[i].second).has_value())
                << writes[i].second;
        }
    }
}

TEST_F(ReferralRecordTest, KeysThatCannotBeMade) {
    const ConsentParameters p = Parameters("b1", "u", "s", "p");
    fault::FailNthCall("RegCreateKeyEx", 1);  // Referrals: nothing at all
    EXPECT_EQ(1, WriteReferralRecord(p, 0));
    EXPECT_FALSE(Stored(kReferrals, "LastReaderTrack"));
    EXPECT_FALSE(Stored(kBook, "UserID"));

    fault::Reset();
    fault::FailNthCall("RegCreateKeyEx", 2);  // the book: only the latest answer
    EXPECT_EQ(1, WriteReferralRecord(p, 0));
    ExpectValue(Dword(0), Stored(kReferrals, "LastReaderTrack"), "LastReaderTrack");
    EXPECT_FALSE(Stored(kBook, "UserID"));
    EXPECT_FALSE(Stored(kBook, "TimeStamp"));
}

TEST_F(ReferralRecordTest, ARunReadsFileLastAndRecordsARefusalWhenTheDialogFails) {
    test::TempDir dir;
    const std::string ini = dir.Write(
        "p.ini", "[PARAMETERS]\r\nauthoruserid=from-file\r\nparametersfilepath=x\r\n"
                 "[other]\r\nauthorpartnerid=other\r\n");
    fault::FailCall("DialogBoxParam");
    ConsentFlow flow;
    EXPECT_EQ(1, flow.RunConsent(("-AUTORUNBOOKID b1 -authoruserid cmd -authorpartnerid p1"
                                  " -parametersfilepath \"" + ini + "\"").c_str()));
    ExpectValue(Text("from-file"), Stored(kBook, "UserID"), "UserID");
    ExpectValue(Text("p1"), Stored(kBook, "PartnerID"), "PartnerID");
    ExpectValue(Dword(0), Stored(kBook, "ReaderTrack"), "ReaderTrack");
    ExpectValue(Dword(0), Stored(kReferrals, "LastReaderTrack"), "LastReaderTrack");
    EXPECT_FALSE(Stored(store::kUserDataKey, "ReaderID"));

    // A parameters file that ends the reading ends the run: nothing is recorded.
    test::RegistrySandbox fresh;
    dir.Write("p.ini", "[parameters]\r\nauthoruserid=not_found_error\r\n");
    EXPECT_EQ(1, ConsentFlow().RunConsent(("-autorunbookid b1 -parametersfilepath \"" + ini + "\"").c_str()));
    EXPECT_FALSE(Stored(kReferrals, "LastReaderTrack"));
}

}  // namespace
}  // namespace wbh
