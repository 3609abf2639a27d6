// The RegKey holder against the registry of the platform: the SQLite store natively, the real
// registry under Wine. The same expectations hold for both.
#include "store/reg_key.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/portable/fault.h"
#include "store/store_layout.h"
#include "support/registry_sandbox.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;
namespace fault = platform::fault;

const Key kUser = reg::RootKey(reg::Root::kCurrentUser);
constexpr char kScratch[] = "Software\\Quarlo\\Scratch";

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, scratch_.Create(kUser, kScratch, kKeyAllAccess)); }
    void TearDown() override { fault::Reset(); }

    // The text read back as the program reads texts, or "<code N>" when the query failed.
    std::string ReadText(RegKey& key, const char* name) {
        char buffer[kTextBufferSize + 1];
        std::uint32_t size = sizeof buffer;
        const long result = key.QueryString(buffer, name, size);
        if (result != 0) return "<code " + std::to_string(result) + ">";
        return buffer;
    }

    test::RegistrySandbox sandbox_;
    RegKey scratch_;
};

TEST_F(RegKeyTest, HolderOwnsOneKeyAndKeepsItOnFailure) {
    RegKey key;
    EXPECT_EQ(0, key.Close()) << "an empty holder closes nothing";
    EXPECT_EQ(reg::kFileNotFound, key.Open(kUser, "Software\\Quarlo\\Missing", kKeyRead));
    EXPECT_EQ(nullptr, key.Handle());

    ASSERT_EQ(0, scratch_.SetString("first", "v"));
    ASSERT_EQ(0, key.Open(kUser, kScratch, kKeyRead));
    const Key held = key.Handle();
    EXPECT_NE(0, key.Open(kUser, "Software\\Quarlo\\Missing", kKeyRead));
    EXPECT_EQ(held, key.Handle()) << "a failed open keeps the key";
    ASSERT_EQ(0, key.Create(kUser, "Software\\Quarlo\\Other", kKeyAllAccess));
    EXPECT_EQ("<code 2>", ReadText(key, "v")) << "the holder now holds the new key";

    fault::FailCall("RegCloseKey");
    EXPECT_NE(0, key.Close());
    EXPECT_EQ(nullptr, key.Handle()) << "a failed close still empties the holder";
}

}  // namespace
}  // namespace wbh::store
