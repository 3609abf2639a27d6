// RegKey against the registry of the platform: the SQLite store natively, the real registry
// under Wine. A key refuses what its access mask does not allow, on both.
#include "store/reg_key.h"

#include <gtest/gtest.h>

#include <string>

#include "store/store_layout.h"
#include "support/registry_sandbox.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;

const Key kUser = reg::RootKey(reg::Root::kCurrentUser);
constexpr char kScratch[] = "Software\\Quarlo\\Scratch";

// The text read back as the program reads texts, or "<code N>" when the query failed.
std::string ReadText(RegKey& key, const char* name) {
    char buffer[kTextBufferSize + 1];
    std::uint32_t size = sizeof buffer;
    const long result = key.QueryString(buffer, name, size);
    return result == 0 ? buffer : "<code " + std::to_string(result) + ">";
}

TEST(RegKeyTest, AccessMasks) {
    const test::RegistrySandbox sandbox;
    RegKey scratch;
    ASSERT_EQ(0, scratch.Create(kUser, kScratch, kKeyAllAccess));
    ASSERT_EQ(0, scratch.SetString("kept", "v"));
    RegKey reader;
    ASSERT_EQ(0, reader.Open(kUser, kScratch, kKeyRead));
    EXPECT_EQ(reg::kAccessDenied, reader.SetString("changed", "v"));
    EXPECT_EQ(reg::kAccessDenied, reader.DeleteValue("v"));
    EXPECT_EQ("kept", ReadText(reader, "v"));

    RegKey writer;
    ASSERT_EQ(0, writer.Open(kUser, kScratch, kKeySetValue));
    EXPECT_EQ("<code 5>", ReadText(writer, "v"));
    EXPECT_EQ(0, writer.SetString("changed", "v"));
    EXPECT_EQ("changed", ReadText(reader, "v"));
}

// A text value reads when it holds at most kTextCharacters characters, its terminator counted
// when stored, in any script: as many Cyrillic characters as ASCII ones.
TEST(RegKeyTest, TextLimitInCharacters) {
    const test::RegistrySandbox sandbox;
    RegKey scratch;
    ASSERT_EQ(0, scratch.Create(kUser, kScratch, kKeyAllAccess));
    std::string cyrillic;
    for (std::uint32_t i = 0; i + 1 < kTextCharacters; ++i) cyrillic += "\xD0\x96";  // Ж
    const struct {
        std::string text;
        bool reads;
    } rows[] = {
        {cyrillic, true},
        {cyrillic + "\xD0\x96", false},
        {std::string(kTextCharacters - 1, 'a'), true},
        {std::string(kTextCharacters, 'a'), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.size());
        ASSERT_EQ(0, scratch.SetString(row.text.c_str(), "v"));
        EXPECT_EQ(row.reads ? row.text : "<code 234>", ReadText(scratch, "v"));
    }
}

}  // namespace
}  // namespace wbh::store
