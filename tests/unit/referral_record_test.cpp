// The consent run's record against the platform's registry: a book's referral key and
// LastReaderTrack, what a later run keeps, and what a failing call leaves out.
#include "consent/referral_record.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "consent/consent_flow.h"
#include "platform/clock.h"
#include "platform/portable/fault.h"
#include "store/store_layout.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;
using test::DwordValue;
using test::StoredValue;
using test::TextValue;

const std::string kReferrals = store::kReferralsKey;
const std::string kBook = kReferrals + "\\b1";

std::optional<StoredValue> Stored(const std::string& key, const char* name) {
    return test::Stored(reg::Root::kCurrentUser, key, name);
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

ConsentParameters Parameters(const char* book, const char* user = "u", const char* sku = "s",
                             const char* partner = "p") {
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

TEST_F(ReferralRecordTest, FirstAndLaterRuns) {
    const Moment before = MomentOf(platform::CurrentUtcTime());
    EXPECT_EQ(1, WriteReferralRecord(Parameters("b1", "u1", "sku1", "p1"), 0));
    const Moment after = MomentOf(platform::CurrentUtcTime());
    EXPECT_EQ(TextValue("u1"), Stored(kBook, "UserID"));
    EXPECT_EQ(TextValue("sku1"), Stored(kBook, "QuarloSKU"));
    EXPECT_EQ(TextValue("p1"), Stored(kBook, "PartnerID"));
    EXPECT_EQ(DwordValue(0), Stored(kBook, "ReaderTrack"));
    EXPECT_EQ(DwordValue(0), Stored(kReferrals, "LastReaderTrack"));
    const std::optional<StoredValue> stamp = Stored(kBook, "TimeStamp");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(reg::kTypeBinary, stamp->type);
    ASSERT_EQ(16u, stamp->bytes.size());
    EXPECT_LE(before, MomentOf(stamp->bytes));
    EXPECT_GE(after, MomentOf(stamp->bytes));

    // Again, accepted (any answer but 0), the key named in another case: only the stamp stays.
    WriteReferralRecord(Parameters("B1", "u2", "", "p2"), 7);
    EXPECT_EQ(TextValue("u2"), Stored(kBook, "UserID"));
    EXPECT_EQ(TextValue(""), Stored(kBook, "QuarloSKU"));
    EXPECT_EQ(TextValue("p2"), Stored(kBook, "PartnerID"));
    EXPECT_EQ(DwordValue(1), Stored(kBook, "ReaderTrack"));
    EXPECT_EQ(DwordValue(1), Stored(kReferrals, "LastReaderTrack"));
    EXPECT_EQ(stamp, Stored(kBook, "TimeStamp"));

    // A refusal in another book sets the latest answer and leaves this book's.
    WriteReferralRecord(Parameters("b2"), 0);
    EXPECT_EQ(DwordValue(0), Stored(kReferrals, "LastReaderTrack"));
    EXPECT_EQ(DwordValue(1), Stored(kBook, "ReaderTrack"));
}

TEST_F(ReferralRecordTest, AReadableStampOfAnyTypeIsKept) {
    const struct {
        StoredValue before;
        bool kept;
    } rows[] = {
        {{reg::kTypeString, std::string("hier\0", 5)}, true},
        {{reg::kTypeBinary, std::string(512, '\x01')}, true},  // 512 bytes without a terminator
        {{reg::kTypeBinary, std::string(513, '\x01')}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before.bytes.size());
        const test::RegistrySandbox fresh;
        ASSERT_TRUE(test::Store(reg::Root::kCurrentUser, kBook, "TimeStamp", row.before));
        WriteReferralRecord(Parameters("b1"), 0);
        const std::optional<StoredValue> stamp = Stored(kBook, "TimeStamp");
        ASSERT_TRUE(stamp);
        EXPECT_EQ(row.kept, row.before == *stamp);
        if (!row.kept) EXPECT_EQ(16u, stamp->bytes.size());
    }
}

TEST_F(ReferralRecordTest, KeysThatCannotBeMade) {
    fault::FailNthCall("RegCreateKeyEx", 1);  // Referrals: nothing at all
    EXPECT_EQ(1, WriteReferralRecord(Parameters("b1"), 0));
    EXPECT_FALSE(Stored(kReferrals, "LastReaderTrack"));

    fault::FailNthCall("RegCreateKeyEx", 2);  // the book: only the latest answer
    EXPECT_EQ(1, WriteReferralRecord(Parameters("b1"), 0));
    EXPECT_EQ(DwordValue(0), Stored(kReferrals, "LastReaderTrack"));
    EXPECT_FALSE(Stored(kBook, "UserID"));
}

TEST_F(ReferralRecordTest, NoBookNoRecordButTheReaderIdentifier) {
    EXPECT_EQ(1, RecordConsent(Parameters(""), 1));
    EXPECT_FALSE(test::KeyExists(reg::Root::kCurrentUser, kReferrals));
    EXPECT_TRUE(Stored(store::kUserDataKey, "ReaderID"));
}

TEST_F(ReferralRecordTest, ARunRecordsARefusalWhenTheDialogFails) {
    test::TempDir dir;
    const std::string ini = dir.Write("p.ini", "[PARAMETERS]\r\nauthoruserid=from-file\r\n");
    const std::string command_line =
        "-AUTORUNBOOKID b1 -authoruserid cmd -parametersfilepath \"" + ini + "\" -mode 1";
    fault::FailCall("DialogBoxParam");
    EXPECT_EQ(1, ConsentFlow().RunConsent(command_line.c_str()));
    EXPECT_EQ(TextValue("from-file"), Stored(kBook, "UserID"));
    EXPECT_EQ(DwordValue(0), Stored(kReferrals, "LastReaderTrack"));
    EXPECT_FALSE(Stored(store::kUserDataKey, "ReaderID"));

    // A parameters file that ends the reading ends the run: nothing is recorded.
    const test::RegistrySandbox fresh;
    dir.Write("p.ini", "[parameters]\r\nauthoruserid=not_found_error\r\n");
    EXPECT_EQ(1, ConsentFlow().RunConsent(command_line.c_str()));
    EXPECT_FALSE(Stored(kReferrals, "LastReaderTrack"));
}

}  // namespace
}  // namespace wbh
