// The reader's anonymous identifier: EnsureReaderId against the registry, its new GUIDs made by
// AnonymousGuid (an MD5 hash, without the node, when the platform's GUIDs carry the machine's
// address).
#include "store/reader_id.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/guid.h"
#include "store/anonymous_guid.h"
#include "store/store_layout.h"
#include "support/fault_injection.h"
#include "support/planted_guid.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;

platform::Guid Parsed(const char* text) {
    platform::Guid guid{};
    EXPECT_TRUE(platform::ParseBracedGuid(text, guid)) << text;
    return guid;
}

class ReaderIdTest : public ::testing::Test {
protected:
    void TearDown() override {
        SequentialUuidSupport() = saved_;
        fault::Reset();
    }
    std::int32_t saved_ = SequentialUuidSupport();
};

constexpr char kPlanted[] = "{00112233-4455-6677-8899-AABBCCDDEEFF}";
constexpr char kHash[] = "{5A6911CD-D5F3-13EE-FB00-45632FF89550}";  // kPlanted's, node left out

constexpr char kUpper[] = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
constexpr char kLower[] = "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}";
constexpr char kOther[] = "{11111111-2222-3333-4444-555555555555}";

// A user data text value, or nothing when it is absent.
using Stored = std::optional<std::string>;

Stored Read(const char* name) {
    const auto value = test::Stored(reg::Root::kCurrentUser, kUserDataKey, name);
    if (!value) return {};
    EXPECT_EQ(reg::kTypeString, value->type) << name;
    return std::string(value->bytes.c_str());
}

// Any new GUID is made from kPlanted and anonymised; the next call of `failing` fails.
TEST_F(ReaderIdTest, EnsureKeepsTakesOrMakesAndNeverLosesAValidIdentifier) {
    const struct {
        const char* name;
        const char* failing;
        Stored reader_id, user_id, expected;
    } rows[] = {
        {"valid lower-case ReaderID kept as stored", "", kLower, kOther, kLower},
        {"no ReaderID, UserID taken in upper case", "", {}, kLower, kUpper},
        {"a program name, which COM reads too", "", "Shell.Application", kLower, kUpper},
        {"a G among the digits", "", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}", kLower, kUpper},
        {"+ for a hyphen", "", "{0A1B2C3D+4E5F-6071-8293-A4B5C6D7E8F9}", kLower, kUpper},
        {"empty ReaderID, invalid UserID", "", "", "{oops}", kHash},
        {"read again before the write", "RegQueryValueEx", kLower, kOther, kLower},
        {"the invalid one deleted all the same", "RegSetValueEx", "invalid", kOther, {}},
        {"no key", "RegCreateKeyEx", "invalid", kOther, "invalid"},
        {"no text, so nothing to store", "StringFromCLSID", "invalid", kOther, "invalid"},
        {"no GUID", "CoCreateGuid", "invalid", {}, "invalid"},
    };
    SequentialUuidSupport() = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const test::RegistrySandbox sandbox;
        for (const auto& [name, text] : {std::pair(kReaderIdValue, row.reader_id),
                                         std::pair(kProductUserIdValue, row.user_id)}) {
            if (text) {
                ASSERT_TRUE(test::Store(reg::Root::kCurrentUser, kUserDataKey, name,
                                        test::TextValue(*text)));
            }
        }
        test::PlantGuid(Parsed(kPlanted));
        fault::FailNthCall(row.failing, 1);
        EXPECT_EQ(1, EnsureReaderId());
        fault::Reset();
        test::ClearPlantedGuids();
        EXPECT_EQ(row.user_id, Read(kProductUserIdValue)) << "UserID is never written";
        EXPECT_EQ(row.expected, Read(kReaderIdValue));
    }
}

}  // namespace
}  // namespace wbh::store
