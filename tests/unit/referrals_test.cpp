// The referral records' reads and writes beyond what the consent and setup runs show (tests/
// unit/referral_record_test.cpp, tests/e2e/setup_test.sh).
#include "store/referrals.h"

#include <gtest/gtest.h>

#include <string>

#include "support/registry_sandbox.h"
#include "support/registry_values.h"

namespace wbh::store {
namespace {

constexpr platform::registry::Root kUser = platform::registry::Root::kCurrentUser;
const std::string kReferrals = kReferralsKey;
const std::string kBook = kReferrals + "\\b1";

TEST(Referrals, ABooksAnswerIsOneUnlessTheBookStoresIt) {
    const test::RegistrySandbox sandbox;
    EXPECT_EQ(1u, ReadBookAnswer("b1"));
    // A value on the Referrals key itself is not the book's.
    ASSERT_TRUE(test::Store(kUser, kReferrals, "ReaderTrack", test::DwordValue(0)));
    EXPECT_EQ(1u, ReadBookAnswer("b1"));
    ASSERT_TRUE(test::MakeKey(kUser, kBook));
    EXPECT_EQ(1u, ReadBookAnswer("b1"));
    ASSERT_TRUE(test::Store(kUser, kBook, "ReaderTrack", test::DwordValue(2)));
    EXPECT_EQ(2u, ReadBookAnswer("b1"));
}

TEST(Referrals, InstallDirectoryIsRecordedOnlyOnAnExistingBookKey) {
    const test::RegistrySandbox sandbox;
    WriteInstallDirectory("b1", "D:\\b1");
    ASSERT_TRUE(test::MakeKey(kUser, kReferrals));
    WriteInstallDirectory("b1", "D:\\b1");
    EXPECT_FALSE(test::KeyExists(kUser, kBook)) << "the book key must not be made";
    WriteInstallDirectory("", "D:\\b1");  // the empty id would name the Referrals key itself
    EXPECT_FALSE(test::Stored(kUser, kReferrals, "Install Directory"));
}

std::string Cyrillic(int characters) {
    std::string text;
    while (characters-- > 0) text += "\xD0\x96";  // Ж
    return text;
}

// A book's id is a key path below Referrals, so the registry's limits on paths are the reader's:
// an id that the registry refuses records nothing, on both platforms alike.
TEST(Referrals, ABookIdIsRecordedWhenItFitsAKeyPath) {
    const struct {
        std::string id;
        std::uint32_t books;  // keys below Referrals afterwards; 0: nothing recorded
    } rows[] = {
        {"a\\b\\", 1},                                             // nested keys
        {"\\b1", 0},                                               // no leading backslash
        {std::string(255, 'n'), 1},                                // the longest name
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
        WriteReferral(row.id.c_str(), {"u", "s", "p"}, 1);
        std::uint32_t books = 99;
        EXPECT_EQ(row.books ? "u" : "",
                  std::string(ReadBookRecord(row.id.c_str(), &books).user_id.CStr()));
        EXPECT_EQ(row.books, books);
    }
}

}  // namespace
}  // namespace wbh::store
