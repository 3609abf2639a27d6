// The platform-neutral half of GUIDs: byte image and braced text.
#include "platform/guid.h"

namespace wbh::platform {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text's byte order: Data1, Data2 and Data3 are written most significant byte first.
constexpr int kTextByteOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

bool IsHyphenAt(std::size_t i) { return i == 9 || i == 14 || i == 19 || i == 24; }

}  // namespace

void GuidToBytes(const Guid& guid, std::uint8_t (&bytes)[16]) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(guid.data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<std::uint8_t>(guid.data2 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<std::uint8_t>(guid.data3 >> (8 * i));
    for (int i = 0; i < 8; ++i) bytes[8 + i] = guid.data4[i];
}

Guid GuidFromBytes(const std::uint8_t (&bytes)[16]) {
    Guid guid{};
    for (int i = 0; i < 4; ++i) guid.data1 |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    guid.data2 = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
    guid.data3 = static_cast<std::uint16_t>(bytes[6] | bytes[7] << 8);
    for (int i = 0; i < 8; ++i) guid.data4[i] = bytes[8 + i];
    return guid;
}

bool ParseBracedGuid(std::string_view text, Guid& guid) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    std::uint8_t bytes[16];
    int next = 0;
    for (std::size_t i = 1; i < 37;) {
        if (IsHyphenAt(i)) {
            if (text[i] != '-') return false;
            ++i;
            continue;
        }
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0 || IsHyphenAt(i + 1)) return false;
        bytes[kTextByteOrder[next++]] = static_cast<std::uint8_t>(high << 4 | low);
        i += 2;
    }
    guid = GuidFromBytes(bytes);
    return true;
}

void FormatBracedGuid(const Guid& guid, char (&text)[39]) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::uint8_t bytes[16];
    GuidToBytes(guid, bytes);
    std::size_t at = 0;
    text[at++] = '{';
    for (int next = 0; next < 16; ++next) {
        if (IsHyphenAt(at)) text[at++] = '-';
        const std::uint8_t byte = bytes[kTextByteOrder[next]];
        text[at++] = kDigits[byte >> 4];
        text[at++] = kDigits[byte & 0xF];
    }
    text[at++] = '}';
    text[at] = '\0';
}

}  // namespace wbh::platform
