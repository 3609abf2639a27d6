// RegKey against the registry of the platform: the SQLite store natively, the real registry
// under Wine. The same expectations hold for both.
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
    std::string ReadText(RegKey& key, const char* name, std::uint32_t* size_out = nullptr) {
        char buffer[kTextBufferSize + 1];
        std::uint32_t size = sizeof buffer;
        const long result = key.QueryString(buffer, name, size);
        if (size_out) *size_out = size;
        if (result != 0) return "<code " + std::to_string(result) + ">";
        return buffer;
    }

    void SetBytes(const char* name, std::uint32_t type, const std::string& bytes) {
        ASSERT_EQ(0, reg::SetValue(scratch_.Handle(), name, type,
                                   reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   static_cast<std::uint32_t>(bytes.size())));
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

TEST_F(RegKeyTest, TextValues) {
    const std::string longest(511, 'a');
    const struct {
        const char* name;
        std::string text;
        std::string expected;
        std::uint32_t expected_size;  // as stored, terminator included
    } rows[] = {
        {"plain", "hello", "hello", 6},
        {"empty", "", "", 1},
        {"longest", longest, longest, 512},
        {"too long", longest + "b", "<code 234>", 513},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(0, scratch_.SetString(row.text.c_str(), row.name));
        std::uint32_t size = 0;
        EXPECT_EQ(row.expected, ReadText(scratch_, row.name, &size));
        EXPECT_EQ(row.expected_size, size);
    }
    EXPECT_EQ("<code 2>", ReadText(scratch_, "absent"));
    EXPECT_EQ("hello", ReadText(scratch_, "PLAIN")) << "value names match whatever their case";
    ASSERT_EQ(0, scratch_.SetString("7xefile", nullptr));
    EXPECT_EQ("7xefile", ReadText(scratch_, "")) << "null and empty name the default value";

    // Bytes come as stored whatever the type, terminated after them when they lack one.
    SetBytes("binary", reg::kTypeBinary, std::string("\x01\x02\x00\x04", 4) + std::string(12, 'z'));
    std::uint32_t size = 0;
    EXPECT_EQ("\x01\x02", ReadText(scratch_, "binary", &size));
    EXPECT_EQ(16u, size);

    // A later write replaces the value whatever its earlier type.
    ASSERT_EQ(0, scratch_.SetDword(7, "plain"));
    ASSERT_EQ(0, scratch_.SetString("again", "plain"));
    EXPECT_EQ("again", ReadText(scratch_, "plain"));
}

}  // namespace
}  // namespace wbh::store
