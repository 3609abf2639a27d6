// MD5 against RFC 1321's test suite, GUID texts, and the GUIDs AnonymousGuid makes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "platform/portable/fault.h"
#include "platform/guid.h"
#include "store/anonymous_guid.h"
#include "store/md5.h"

namespace wbh::store {
namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0xF];
    }
    return hex;
}

std::string Text(const platform::Guid& guid) {
    char text[39];
    platform::FormatBracedGuid(guid, text);
    return text;
}

platform::Guid Parsed(const char* text) {
    platform::Guid guid{};
    EXPECT_TRUE(platform::ParseBracedGuid(text, guid)) << text;
    return guid;
}

TEST(Md5, Rfc1321Suite) {
    const struct {
        const char* message;
        const char* digest;
    } rows[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(row.message);
        const std::size_t length = std::strlen(row.message);
        Md5Context context;
        Md5Init(context);
        Md5Update(context, bytes, length);
        std::uint8_t digest[16];
        Md5Final(digest, context);
        EXPECT_EQ(row.digest, Hex(digest, 16));

        // The same message fed a byte at a time crosses every block boundary differently.
        Md5Init(context);
        for (std::size_t i = 0; i < length; ++i) Md5Update(context, bytes + i, 1);
        Md5Final(digest, context);
        EXPECT_EQ(row.digest, Hex(digest, 16));
        const Md5Context zero{};
        EXPECT_EQ(0, std::memcmp(&zero, &context, sizeof context)) << "Final clears the context";
    }
}

TEST(GuidText, ReadsTheBracedFormOnly) {
    const char* valid[] = {
        "{00112233-4455-6677-8899-AABBCCDDEEFF}",
        "{00112233-4455-6677-8899-aabbccddeeff}",
        "{0a1B2c3D-4455-6677-8899-AaBbCcDdEeFf}",
    };
    for (const char* text : valid) {
        SCOPED_TRACE(text);
        platform::Guid guid{};
        ASSERT_TRUE(platform::ParseBracedGuid(text, guid));
        char upper[39];
        platform::FormatBracedGuid(guid, upper);
        std::string expected = text;
        for (char& c : expected) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(expected, upper);
    }
    const char* invalid[] = {
        "",
        "00112233-4455-6677-8899-AABBCCDDEEFF",
        "{00112233-4455-6677-8899-AABBCCDDEEFF",
        "{00112233-4455-6677-8899-AABBCCDDEEFF}x",
        "{00112233-4455-6677-8899-AABBCCDDEEF}",
        "{00112233-4455-6677-8899-AABBCCDDEEFG}",
        "{00112233+4455-6677-8899-AABBCCDDEEFF}",
        "{0011223-34455-6677-8899-AABBCCDDEEFF}",
        "{00112233-4455-6677-8899-AABBCCDDEE F}",
        "(00112233-4455-6677-8899-AABBCCDDEEFF)",
        "Shell.Application",
    };
    for (const char* text : invalid) {
        SCOPED_TRACE(text);
        platform::Guid guid{};
        guid.data1 = 0x5EED;
        EXPECT_FALSE(platform::ParseBracedGuid(text, guid));
        EXPECT_EQ(0x5EEDu, guid.data1) << "a refused text leaves the GUID alone";
    }

    // The byte image: Data1, Data2, Data3 little-endian, then Data4 in order.
    std::uint8_t bytes[16];
    platform::GuidToBytes(Parsed("{00112233-4455-6677-8899-AABBCCDDEEFF}"), bytes);
    EXPECT_EQ("33221100554477668899aabbccddeeff", Hex(bytes, 16));

    // The platform formats and parses the same form (COM on Windows).
    char formatted[78];
    ASSERT_TRUE(platform::FormatGuidText(Parsed("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"),
                                         formatted, sizeof formatted));
    EXPECT_STREQ("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", formatted);
    platform::Guid back{};
    ASSERT_TRUE(platform::ParseGuidText("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}", back));
    EXPECT_EQ("{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", Text(back));
}

class AnonymousGuidTest : public ::testing::Test {
protected:
    void TearDown() override {
        SequentialUuidSupport() = saved_;
        platform::fault::Reset();
        platform::Guid drain;
        while (platform::TakePlantedGuid(drain)) {
        }
    }
    std::int32_t saved_ = SequentialUuidSupport();
};

TEST_F(AnonymousGuidTest, AnonymisingPathHashesTheGuidWithoutItsNode) {
    SequentialUuidSupport() = 0;
    const AnonymousGuid maker;
    platform::PlantGuid(Parsed("{00112233-4455-6677-8899-AABBCCDDEEFF}"));
    platform::Guid guid{};
    EXPECT_EQ(0, maker.Make(guid));
    EXPECT_EQ("{5A6911CD-D5F3-13EE-FB00-45632FF89550}", Text(guid));

    // Only the node differs: the same identifier, so nothing of the node survives.
    platform::PlantGuid(Parsed("{00112233-4455-6677-8899-0123456789AB}"));
    platform::Guid other{};
    EXPECT_EQ(0, maker.Make(other));
    EXPECT_EQ(Text(guid), Text(other));

    // Two real GUIDs give two identifiers.
    platform::Guid first{}, second{};
    EXPECT_EQ(0, maker.Make(first));
    EXPECT_EQ(0, maker.Make(second));
    EXPECT_NE(Text(first), Text(second));
}

TEST_F(AnonymousGuidTest, FailureIsReportedAndLeavesTheGuid) {
    const AnonymousGuid maker;
    for (const int support : {0, 1, -1}) {
        SCOPED_TRACE(support);
        SequentialUuidSupport() = support;
        platform::Guid guid = Parsed("{11111111-2222-3333-4444-555555555555}");
        platform::fault::FailCall("CoCreateGuid");
        EXPECT_LT(maker.Make(guid), 0);
        EXPECT_EQ("{11111111-2222-3333-4444-555555555555}", Text(guid))
            << "never the hash of sixteen zero bytes, never an undefined GUID";
        platform::fault::Reset();
    }
}

TEST_F(AnonymousGuidTest, PlainPathUsesThePlatformGuid) {
    const AnonymousGuid maker;
    for (const int support : {1, -1}) {  // -1, not determined, counts as offered
        SCOPED_TRACE(support);
        SequentialUuidSupport() = support;
        platform::PlantGuid(Parsed("{00112233-4455-6677-8899-AABBCCDDEEFF}"));
        platform::Guid guid{};
        EXPECT_EQ(0, maker.Make(guid));
        EXPECT_EQ("{00112233-4455-6677-8899-AABBCCDDEEFF}", Text(guid));
    }
    // The probe answers once and the answer stays.
    SequentialUuidSupport() = -1;
    const AnonymousGuid probed;
    const std::int32_t answer = SequentialUuidSupport();
    EXPECT_NE(-1, answer) << "the platform can tell (POSIX: no; Wine: the RPC runtime is loaded)";
    platform::fault::FailCall("GetModuleHandle");
    const AnonymousGuid again;
    EXPECT_EQ(answer, SequentialUuidSupport());
}

}  // namespace
}  // namespace wbh::store
