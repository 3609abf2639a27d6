// The bytes of a .lnk file (MS-SHLLINK) for a local target: the header, a LinkInfo naming the
// path on a fixed drive, in the ANSI and the Unicode form, and the icon location as counted
// UTF-16 text. Pure serialization with no OS call, so both builds compile it and the Windows
// tests can hand the result to the shell link object.
#include "platform/portable/shell_link_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wbh::platform {
namespace {

// Every string of the format that carries a count counts UTF-16 units in 16 bits; a target
// path is held to the same bound, which is far beyond any path the shell accepts.
constexpr std::size_t kMaxUnits = 0xFFFF;

// LinkFlags.
constexpr std::uint32_t kHasLinkInfo = 0x00000002;
constexpr std::uint32_t kHasIconLocation = 0x00000040;
constexpr std::uint32_t kIsUnicode = 0x00000080;
// LinkInfoFlags.
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x00000001;
constexpr std::uint32_t kDriveFixed = 3;
constexpr std::uint32_t kShowNormal = 1;

// Decodes UTF-8 into UTF-16 units and the ANSI form (ASCII kept, any other character one '?').
// False on a malformed sequence, an overlong form, a surrogate or a code point past U+10FFFF.
bool Decode(std::string_view utf8, std::u16string& wide, std::string& ansi) {
    wide.clear();
    ansi.clear();
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code;
        std::size_t length;
        std::uint32_t minimum;
        if (lead < 0x80) {
            code = lead;
            length = 1;
            minimum = 0;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
            minimum = 0x10000;
        } else {
            return false;
        }
        if (utf8.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code < 0x10000) {
            wide.push_back(static_cast<char16_t>(code));
        } else {
            code -= 0x10000;
            wide.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
        }
        ansi.push_back(code < 0x80 ? static_cast<char>(code) : '?');
        if (wide.size() > kMaxUnits) return false;
        i += length;
    }
    return true;
}

// Little-endian writers; the format has no other byte order.
void Put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutZeros(std::string& out, std::size_t count) { out.append(count, '\0'); }

void PutWide(std::string& out, const std::u16string& text) {
    for (const char16_t unit : text) Put16(out, unit);
}

void PutHeader(std::string& out, std::uint32_t flags) {
    Put32(out, 0x4C);  // HeaderSize
    // CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its byte image.
    static const unsigned char kClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                             0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    out.append(reinterpret_cast<const char*>(kClsid), sizeof kClsid);
    Put32(out, flags);
    Put32(out, 0);      // FileAttributes
    PutZeros(out, 24);  // CreationTime, AccessTime, WriteTime
    Put32(out, 0);      // FileSize
    Put32(out, 0);      // IconIndex
    Put32(out, kShowNormal);
    Put16(out, 0);      // HotKey
    PutZeros(out, 10);  // Reserved1, Reserved2, Reserved3
}

// A LinkInfo header of 0x24 bytes, so that the Unicode offsets are part of it and a reader
// takes the path from LocalBasePathUnicode; older readers take the ANSI LocalBasePath.
void PutLinkInfo(std::string& out, const std::string& ansi, const std::u16string& wide) {
    constexpr std::uint32_t kHeaderSize = 0x24;
    constexpr std::uint32_t kVolumeIdSize = 0x10 + 1;  // fixed part and the empty label
    const std::uint32_t volume_at = kHeaderSize;
    const std::uint32_t path_at = volume_at + kVolumeIdSize;
    const std::uint32_t suffix_at = path_at + static_cast<std::uint32_t>(ansi.size()) + 1;
    const std::uint32_t wide_path_at = suffix_at + 1;
    const std::uint32_t wide_suffix_at =
        wide_path_at + 2 * (static_cast<std::uint32_t>(wide.size()) + 1);
    const std::uint32_t size = wide_suffix_at + 2;

    Put32(out, size);
    Put32(out, kHeaderSize);
    Put32(out, kVolumeIdAndLocalBasePath);
    Put32(out, volume_at);
    Put32(out, path_at);
    Put32(out, 0);  // CommonNetworkRelativeLinkOffset: none
    Put32(out, suffix_at);
    Put32(out, wide_path_at);
    Put32(out, wide_suffix_at);

    Put32(out, kVolumeIdSize);
    Put32(out, kDriveFixed);
    Put32(out, 0);     // DriveSerialNumber
    Put32(out, 0x10);  // VolumeLabelOffset: the ANSI label right after the fixed part
    out.push_back('\0');

    out += ansi;
    out.push_back('\0');
    out.push_back('\0');  // CommonPathSuffix, empty
    PutWide(out, wide);
    Put16(out, 0);
    Put16(out, 0);  // CommonPathSuffixUnicode, empty
}

}  // namespace

std::string ShellLinkFileBytes(const char* target, const char* icon) {
    std::u16string wide_target;
    std::string ansi_target;
    std::u16string wide_icon;
    std::string unused;
    if (!Decode(target ? target : "", wide_target, ansi_target) ||
        !Decode(icon ? icon : "", wide_icon, unused)) {
        return std::string();
    }

    // A link without a target is what the shell saves for a link object that was never given
    // a path: the header and nothing to resolve.
    std::uint32_t flags = kIsUnicode;
    if (!wide_target.empty()) flags |= kHasLinkInfo;
    if (!wide_icon.empty()) flags |= kHasIconLocation;

    std::string out;
    PutHeader(out, flags);
    if (!wide_target.empty()) PutLinkInfo(out, ansi_target, wide_target);
    if (!wide_icon.empty()) {
        Put16(out, static_cast<std::uint32_t>(wide_icon.size()));  // characters, no NUL
        PutWide(out, wide_icon);
    }
    Put32(out, 0);  // TerminalBlock
    return out;
}

}  // namespace wbh::platform
