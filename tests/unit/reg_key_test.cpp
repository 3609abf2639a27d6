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

TEST_F(RegKeyTest, KeyPaths) {
    RegKey key;
    ASSERT_EQ(0, key.Create(kUser, "Software\\Quarlo\\Scratch\\book\\with\\parts", kKeyAllAccess));
    ASSERT_EQ(0, key.SetString("deep", "v"));
    RegKey level;
    ASSERT_EQ(0, level.Open(scratch_.Handle(), "BOOK", kKeyRead));
    EXPECT_EQ(0, key.Open(level.Handle(), "With\\Parts", kKeyRead))
        << "relative, whatever the case";
    EXPECT_EQ("deep", ReadText(key, "v"));

    ASSERT_EQ(0, scratch_.SetString("top", "w"));
    EXPECT_EQ(0, key.Create(scratch_.Handle(), "", kKeyAllAccess));
    EXPECT_EQ("top", ReadText(key, "w")) << "an empty path names the parent";

    EXPECT_EQ(reg::kBadPathname, key.Create(scratch_.Handle(), "\\leading", kKeyAllAccess));
    EXPECT_EQ(0, key.Create(scratch_.Handle(), "trailing\\", kKeyAllAccess));
    EXPECT_EQ(0, key.Open(scratch_.Handle(), "trailing", kKeyRead));

    // Books nested by a backslash count once at the top.
    for (const char* book : {"refs\\b1", "refs\\b2", "refs\\x\\y", "refs\\X\\z"}) {
        ASSERT_EQ(0, key.Create(scratch_.Handle(), book, kKeyAllAccess));
    }
    ASSERT_EQ(0, key.Open(scratch_.Handle(), "refs", kKeyRead));
    std::uint32_t count = 99;
    EXPECT_EQ(0, key.CountSubkeys(count));
    EXPECT_EQ(3u, count);
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

TEST_F(RegKeyTest, DwordValues) {
    const struct {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        long result;
        std::uint32_t expected;  // from a variable preset to 0xAABBCCDD
    } rows[] = {
        {"four", reg::kTypeDword, std::string("\x78\x56\x34\x12", 4), 0, 0x12345678},
        {"two", reg::kTypeBinary, "\x34\x12", 0, 0xAABB1234},
        {"none", reg::kTypeBinary, "", 0, 0xAABBCCDD},
        {"five", reg::kTypeBinary, "\x01\x02\x03\x04\x05", reg::kMoreData, 0xAABBCCDD},
        {"text", reg::kTypeString, std::string("abc", 4), 0, 0x00636261},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetBytes(row.name, row.type, row.bytes);
        std::uint32_t value = 0xAABBCCDD;
        EXPECT_EQ(row.result, scratch_.QueryDword(value, row.name));
        EXPECT_EQ(row.expected, value);
    }
    std::uint32_t value = 1;
    EXPECT_EQ(reg::kFileNotFound, scratch_.QueryDword(value, "absent"));
    EXPECT_EQ(1u, value);
}

TEST_F(RegKeyTest, AccessMasks) {
    ASSERT_EQ(0, scratch_.SetString("kept", "v"));
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
    EXPECT_EQ(0, writer.DeleteValue("v"));
    EXPECT_EQ(reg::kFileNotFound, writer.DeleteValue("v"));
}

}  // namespace
}  // namespace wbh::store
