// EnsureReaderId against the platform's registry: which identifier it keeps, takes or makes,
// and what a failing call leaves.
#include "store/reader_id.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/portable/fault.h"
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

// A user data text value, or nothing when it is absent.
using Stored = std::optional<std::string>;

Stored Read(const char* name) {
    const auto value = test::Stored(reg::Root::kCurrentUser, kUserDataKey, name);
    if (!value) return {};
    EXPECT_EQ(reg::kTypeString, value->type) << name;
    return std::string(value->bytes.c_str());
}

// EnsureReaderId from the stored ReaderID and UserID, with the n-th call of `failing` failing;
// the ReaderID it leaves.
Stored Ensure(const Stored& reader_id, const Stored& user_id, const char* failing = "",
              long n = 1) {
    const test::RegistrySandbox sandbox;
    for (const auto& [name, text] :
         {std::pair(kReaderIdValue, reader_id), std::pair(kProductUserIdValue, user_id)}) {
        if (text) {
            EXPECT_TRUE(
                test::Store(reg::Root::kCurrentUser, kUserDataKey, name, test::TextValue(*text)));
        }
    }
    fault::FailNthCall(failing, n);
    EXPECT_EQ(1, EnsureReaderId());
    fault::Reset();
    EXPECT_EQ(user_id, Read(kProductUserIdValue)) << "UserID is never written";
    return Read(kReaderIdValue);
}

TEST(ReaderId, KeepsTakesOrMakes) {
    const struct {
        const char* name;
        Stored reader_id;
        Stored user_id;
        Stored expected;  // nullopt: a new upper-case GUID text
    } rows[] = {
        {"valid lower-case ReaderID kept as stored", kLower, kOther, kLower},
        {"invalid ReaderID, UserID taken in upper case", "not a guid", kLower, kUpper},
        {"no ReaderID", {}, kLower, kUpper},
        {"a program name, which COM reads too", "Shell.Application", kLower, kUpper},
        {"empty ReaderID, invalid UserID", "", "{oops}", {}},
        {"nothing stored", {}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Stored reader_id = Ensure(row.reader_id, row.user_id);
        if (row.expected) {
            EXPECT_EQ(row.expected, reader_id);
            continue;
        }
        platform::Guid guid;
        ASSERT_TRUE(reader_id && IsValidGuidText(reader_id->c_str(), guid));
        EXPECT_EQ(std::string::npos, reader_id->find_first_of("abcdef")) << *reader_id;
        EXPECT_NE(row.user_id, reader_id);
    }
}

TEST(ReaderId, AFailingCallNeverLosesAValidIdentifier) {
    const struct {
        const char* failing;
        Stored reader_id;
        Stored user_id;
        Stored expected;
    } rows[] = {
        {"RegQueryValueEx", kLower, kOther, kLower},  // read again before the write
        {"RegSetValueEx", "invalid", kOther, {}},     // the invalid one is deleted all the same
        {"RegCreateKeyEx", "invalid", kOther, "invalid"},
        {"StringFromCLSID", "invalid", kOther, "invalid"},  // no text, so nothing to store
        {"CoCreateGuid", "invalid", {}, "invalid"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.failing);
        EXPECT_EQ(row.expected, Ensure(row.reader_id, row.user_id, row.failing));
    }
}

}  // namespace
}  // namespace wbh::store
