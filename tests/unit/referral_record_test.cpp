// The consent run's record beyond what the whole runs of tests/e2e/setup_test.sh show.
#include "consent/referral_record.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "consent/consent_flow.h"
#include "store/store_layout.h"
#include "support/fault_injection.h"
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

class ReferralRecordTest : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }
    test::RegistrySandbox sandbox_;
};

TEST_F(ReferralRecordTest, ARunRecordsARefusalWhenTheDialogFails) {
    test::TempDir dir;
    const std::string ini = dir.Write(
        "p.ini", "[PARAMETERS]\r\nauthoruserid=from-file\r\n[other]\r\nauthoruserid=other\r\n");
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
