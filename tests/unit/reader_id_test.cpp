// EnsureReaderId against the platform's registry: which identifier it keeps, takes or makes,
// what it writes, and that no failing call leaves the reader worse off.
#include "store/reader_id.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/portable/fault.h"
#include "store/anonymous_guid.h"
#include "store/reg_key.h"
#include "store/store_layout.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;

constexpr char kUpper[] = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
constexpr char kLower[] = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}";
constexpr char kOther[] = "{11111111-2222-3333-4444-555555555555}";

// What a user data value holds: its text, or nothing when absent.
using Stored = std::optional<std::string>;

void Store(const char* name, const Stored& text) {
    if (text) ASSERT_TRUE(test::Store(reg::Root::kCurrentUser, kUserDataKey, name, test::TextValue(*text)));
}

Stored Read(const char* name) {
    const auto value = test::Stored(reg::Root::kCurrentUser, kUserDataKey, name);
    if (!value) return {};
    EXPECT_EQ(reg::kTypeString, value->type) << name;
    return std::string(value->bytes.c_str());
}

bool IsUpperGuidText(const Stored& text) {
    platform::Guid guid;
    if (!text || !IsValidGuidText(text->c_str(), guid)) return false;
    for (const char c : *text) {
        if (c >= 'a' && c <= 'f') return false;
    }
    return true;
}

platform::Guid GuidOf(const char* text) {
    platform::Guid guid{};
    EXPECT_TRUE(platform::ParseBracedGuid(text, guid));
    return guid;
}

class ReaderIdTest : public ::testing::Test {
protected:
    void TearDown() override {
        SequentialUuidSupport() = saved_support_;
        fault::Reset();
        platform::Guid drain;
        while (platform::TakePlantedGuid(drain)) {
        }
    }

    long Writes() const { return fault::CallCount("RegSetValueEx"); }
    long Deletes() const { return fault::CallCount("RegDeleteValue"); }

    std::optional<test::RegistrySandbox> sandbox_{std::in_place};
    std::int32_t saved_support_ = SequentialUuidSupport();
};

TEST_F(ReaderIdTest, KeepsTakesOrMakes) {
    const std::string too_long(512, 'x');
    const struct {
        const char* name;
        Stored reader_id;
        Stored user_id;
        Stored expected;  // nullopt: a new GUID
        long writes;
        long deletes;
    } rows[] = {
        {"valid lower-case ReaderID kept as stored", kLower, kOther, kLower, 0, 0},
        {"valid ReaderID, no UserID", kUpper, {}, kUpper, 0, 0},
        {"invalid ReaderID, UserID taken in upper case", "not a guid", kLower, kUpper, 1, 1},
        {"no ReaderID, UserID taken", {}, kLower, kUpper, 1, 0},
        {"braces missing", "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", kLower, kUpper, 1, 1},
        {"512 characters: replaced, not deleted", too_long, kLower, kUpper, 1, 0},
        {"empty ReaderID, invalid UserID", "", "{oops}", {}, 1, 1},
        {"nothing stored", {}, {}, {}, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sandbox_.emplace();
        Store(kReaderIdValue, row.reader_id);
        Store(kProductUserIdValue, row.user_id);
        fault::Reset();

        EXPECT_EQ(1, EnsureReaderId());

        const Stored reader_id = Read(kReaderIdValue);
        if (row.expected) {
            EXPECT_EQ(row.expected, reader_id);
            EXPECT_EQ(0, fault::CallCount("CoCreateGuid")) << "no new GUID when one was found";
        } else {
            EXPECT_TRUE(IsUpperGuidText(reader_id)) << reader_id.value_or("<absent>");
            EXPECT_NE(row.user_id, reader_id);
        }
        EXPECT_EQ(row.user_id, Read(kProductUserIdValue)) << "UserID is never written";
        EXPECT_EQ(row.writes, Writes());
        EXPECT_EQ(row.deletes, Deletes());
        if (row.writes == 0) EXPECT_EQ(0, fault::CallCount("RegCreateKeyEx")) << "read only";
    }
}

TEST_F(ReaderIdTest, NewIdentifierIsAnonymisedWhereThePlatformHasNoSequentialUuids) {
    SequentialUuidSupport() = 0;
    platform::PlantGuid(GuidOf("{00112233-4455-6677-8899-AABBCCDDEEFF}"));
    EnsureReaderId();
    EXPECT_EQ("{5A6911CD-D5F3-13EE-FB00-45632FF89550}", Read(kReaderIdValue));

    // Once stored, it stays: a second run makes nothing new.
    fault::Reset();
    EnsureReaderId();
    EXPECT_EQ("{5A6911CD-D5F3-13EE-FB00-45632FF89550}", Read(kReaderIdValue));
    EXPECT_EQ(0, Writes());
}

TEST_F(ReaderIdTest, NothingIsStoredWithoutAGuidOrItsText) {
    for (const char* failing : {"CoCreateGuid", "StringFromCLSID"}) {
        for (const int support : {0, 1}) {
            SCOPED_TRACE(std::string(failing) + " failing, support " + std::to_string(support));
            sandbox_.emplace();
            SequentialUuidSupport() = support;
            Store(kReaderIdValue, "invalid");
            fault::Reset();
            fault::FailCall(failing);
            EnsureReaderId();
            EXPECT_EQ(Stored("invalid"), Read(kReaderIdValue)) << "neither deleted nor replaced";
            EXPECT_EQ(0, Writes());
            EXPECT_EQ(0, Deletes());
        }
    }
}

// Every call made on the way may fail. Whatever fails, a valid identifier is never lost or
// changed, UserID is never touched, at most one write and one deletion happen, and what is left
// is the old value, no value (in place of an invalid one) or a valid identifier.
TEST_F(ReaderIdTest, NoFailingCallLeavesAWorseState) {
    const Stored starts[][2] = {
        {kLower, kOther},        {"invalid", kLower}, {{}, kLower},
        {"invalid", "invalid"},  {{}, {}},            {std::string(600, 'x'), {}},
    };
    for (const int support : {0, 1}) {
        for (const auto& start : starts) {
            sandbox_.emplace();
            SequentialUuidSupport() = support;
            Store(kReaderIdValue, start[0]);
            Store(kProductUserIdValue, start[1]);
            fault::Reset();
            EnsureReaderId();
            const long calls = fault::CallCount();
            for (long n = 1; n <= calls; ++n) {
                SCOPED_TRACE("support " + std::to_string(support) + ", ReaderID " +
                             start[0].value_or("<absent>").substr(0, 40) + ", call " +
                             std::to_string(n) + " of " + std::to_string(calls) + " failing");
                sandbox_.emplace();
                Store(kReaderIdValue, start[0]);
                Store(kProductUserIdValue, start[1]);
                fault::Reset();
                fault::FailNth(n);

                EXPECT_EQ(1, EnsureReaderId());

                EXPECT_LE(Writes(), 1);
                EXPECT_LE(Deletes(), 1);
                fault::Reset();
                const Stored after = Read(kReaderIdValue);
                platform::Guid guid;
                const bool was_valid = start[0] && IsValidGuidText(start[0]->c_str(), guid);
                if (was_valid) {
                    EXPECT_EQ(start[0], after);
                } else {
                    EXPECT_TRUE(after == start[0] || !after || IsUpperGuidText(after))
                        << after.value_or("<absent>");
                }
                EXPECT_EQ(start[1], Read(kProductUserIdValue));
            }
        }
    }
}

}  // namespace
}  // namespace wbh::store
