// The POSIX INI layer (it caches the last file parsed) and the file replacement beneath it.
#include "platform/posix/text_files/ini_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/ini.h"
#include "platform/posix/system_calls.h"
#include "platform/posix/text_files/ini_encoding.h"
#include "platform/posix/unique_fd.h"
#include "support/fault_injection.h"
#include "support/temp_dir.h"
#include "support/utf16_bytes.h"

namespace wbh::platform {
namespace {

std::string Value(const std::string& file, const char* key, const char* section = "s") {
    char buffer[64];
    IniReadString(section, key, "<none>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TEST(PosixIniFile, SeesFilesReplacedOrRewrittenAndNeverBlocks) {
    test::TempDir dir;
    const std::string file = dir.Write("a.ini", "[s]\nk=1\n");
    EXPECT_EQ("1", Value(file, "k"));

    dir.Write("a.ini", "[s]\nk=2\n");  // replaced by another file
    EXPECT_EQ("2", Value(file, "k"));

    std::ofstream(file, std::ios::binary | std::ios::trunc) << "[s]\nk=333\n";  // same file
    EXPECT_EQ("333", Value(file, "k"));

    ASSERT_TRUE(IniWriteString("s", "k", "4", file.c_str()));
    EXPECT_EQ("4", Value(file, "k"));
    // A file whose open is refused is not replaced by one that lost its other lines; a write
    // whose new text cannot be put in place fails, the old text kept.
    for (const char* call : {"open", "replace file"}) {
        fault::FailNthCall(call, 1);
        EXPECT_FALSE(IniWriteString("s", "k", "5", file.c_str())) << call;
        fault::Reset();
        EXPECT_EQ("4", Value(file, "k")) << call;
    }

    std::remove(file.c_str());
    EXPECT_EQ("<none>", Value(file, "k"));

    // A FIFO or a device at the name reads as a missing file, at once, and is never written. The
    // device, made only as root, is the test's own /dev/null, which a faulty writer would replace.
    ASSERT_EQ(0, ::mkfifo(file.c_str(), 0600));
    std::vector<std::string> others{file};
    if (::mknod(dir.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        others.push_back(dir.File("null"));
    for (const std::string& other : others) {
        SCOPED_TRACE(other);
        EXPECT_EQ("<none>", Value(other, "k"));
        EXPECT_FALSE(IniWriteString("s", "k", "1", other.c_str()));
    }
    // A read that fails (a folder's: EISDIR) ends the reading rather than being tried again.
    const posix::UniqueFd folder(::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string text;
    EXPECT_FALSE(posix::ReadToEnd(folder.Get(), text));
}

TEST(PosixIniFile, ValuesNotInUtf8AreReadAsWindows1252AndUtf16NamesMustConvert) {
    const struct {
        const char* value;  // as written in the file
        const char* read;
    } rows[] = {
        // UTF-8 is kept, up to each edge of its forms.
        {"\xC3\xB4\xE2\x82\xAC\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF4\x8F\xBF\xBF\xF0\x90\x80\x80",
         "\xC3\xB4\xE2\x82\xAC\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xF4\x8F\xBF\xBF\xF0\x90\x80\x80"},
        {"\"ic\xF4ne.ico\"", "ic\xC3\xB4ne.ico"},
        {"\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xFF",
         "\xE2\x82\xAC\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC5\xB8\xC2\xA0\xC3\xBF"},
        // Not UTF-8 as a whole: every byte is Windows-1252, a valid sequence among them too.
        {"\xC3\xA9t\xE9", "\xC3\x83\xC2\xA9t\xC3\xA9"},
        // Overlong, no lead byte, cut short, a continuation missing. (The other malformed forms,
        // through the same check, are PosixShell's launcher texts.)
        {"\xF0\x80\x80\x80", "\xC3\xB0\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
        {"\xF5\x80\x80\x80", "\xC3\xB5\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},
        {"\xE2\x82x", "\xC3\xA2\xE2\x80\x9Ax"},
    };
    test::TempDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.value)));
        // Names match whatever their letters' case, as on Windows.
        const std::string file = dir.Write("p.ini", std::string("[S]\r\nZ=") + row.value + "\r\n");
        EXPECT_EQ(row.read, Value(file, "z"));
    }
    // From UTF-16, a name that does not convert (a surrogate without its pair) is not listed
    // (ParametersFile's rows), and no caller reaches it with the bytes of its form.
    const std::u16string lone(1, 0xDC00);
    const std::string file =
        dir.Write("p.ini", test::Utf16(u"[a" + lone + u"]\r\nk=1\r\n[b]\r\nk" + lone + u"=2\r\n"));
    EXPECT_EQ("<none>", Value(file, "k", "a\xED\xB0\x80"));
    EXPECT_EQ("<none>", Value(file, "k\xED\xB0\x80", "b"));
}

// What is in the folder: names, and "@" after a link.
std::set<std::string> Listing(const test::TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.insert(entry.path().filename().string() + (entry.is_symlink() ? "@" : ""));
    return names;
}

TEST(PosixIniWriter, OtherBytesStayAsWritten) {
    test::TempDir dir;
    // Each edge of UTF-8's forms, and units without their pair: after a character, before the
    // first unit past the surrogates, and last before an odd byte.
    const std::u16string edges = u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF";
    const std::u16string lone = {0xD800, 0xE000, 'x', 0xDC00, 0xDC00};
    const std::u16string last = {0xDBFF};
    const struct {
        std::string before;
        std::string after;
    } rows[] = {
        {"; caller's comment\n[a]\nb = 1   ; note\n\n",
         "; caller's comment\n[a]\nb = 1   ; note\n\n[ADRTP]\nExitCode=0\n"},
        {"[a]\nb=1", "[a]\nb=1\n[ADRTP]\nExitCode=0\n"},
        {"[adrtp]\n  exitcode = 5 ; old\nkeep=1\n", "[adrtp]\n  exitcode=0\nkeep=1\n"},
        {"[ADRTP]\r\nA=1\r\n\r\n[z]\r\nq=1\r\n",
         "[ADRTP]\r\nA=1\r\nExitCode=0\r\n\r\n[z]\r\nq=1\r\n"},
        {"[ADRTP]", "[ADRTP]\nExitCode=0\n"},
        {"[ADRTP]\nExitCode=1\n[ADRTP]\nExitCode=2\n",
         "[ADRTP]\nExitCode=0\n[ADRTP]\nExitCode=2\n"},
        {"\xEF\xBB\xBF[ADRTP]\r\nExitCode=5\r\n", "\xEF\xBB\xBF[ADRTP]\r\nExitCode=0\r\n"},
        // UTF-16 stays UTF-16 in its order, a unit without its pair included.
        {test::Utf16(u"[ADRTP]\r\nExitCode=5\r\n"), test::Utf16(u"[ADRTP]\r\nExitCode=0\r\n")},
        {test::Utf16(u"[" + edges + u"]\r\nv=" + lone + u"\r\n", true),
         test::Utf16(u"[" + edges + u"]\r\nv=" + lone + u"\r\n[ADRTP]\r\nExitCode=0\r\n", true)},
        {test::Utf16(u"[a]\nb=" + last, true) + "\xDC",
         test::Utf16(u"[a]\nb=" + last + u"\n[ADRTP]\nExitCode=0\n", true)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.before));
        const std::string file = dir.Write("r.rtp", row.before);
        ASSERT_TRUE(IniWriteString("ADRTP", "ExitCode", "0", file.c_str()));
        EXPECT_EQ(row.after, dir.Read("r.rtp"));
    }
    // Bytes that are not UTF-8 are no Unicode text: refused, the file as it was.
    for (const std::string& before : {test::Utf16(u"[ADRTP]\r\nExitCode=5\r\n"),
                                      std::string("\xEF\xBB\xBF[ADRTP]\r\nExitCode=5\r\n")}) {
        const std::string file = dir.Write("r.rtp", before);
        for (const auto& [section, key, value] : {std::tuple{"\xE9", "k", "0"},
                                                  {"ADRTP", "\xE9", "0"},
                                                  {"ADRTP", "ExitCode", "\xED\xA0\x80"}}) {
            SCOPED_TRACE(testing::PrintToString(before + "|" + section + "|" + key + "|" + value));
            EXPECT_FALSE(IniWriteString(section, key, value, file.c_str()));
            EXPECT_EQ(before, dir.Read("r.rtp"));
        }
    }
}

// Text goes back to UTF-16 only as the reader gives it: UTF-8, and a surrogate's three-byte
// form, whole and within the text.
TEST(PosixIniEncoding, OnlyUtf8AndSurrogateFormsBecomeUtf16) {
    const struct {
        std::string_view text;
        std::string_view utf16;  // after the mark; empty: refused
    } rows[] = {
        {"\xED\xA0\x80", {"\x00\xD8", 2}},
        {"\xED\xBF\xBF", "\xFF\xDF"},
        {{"\xED\xA0\x80", 2}, ""},
        {"\xED\xC0\x80", ""},
        {"\xED\xA0\x41", ""},
        {"\xC0\xA0\x80", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.text)));
        std::string bytes;
        const bool encoded = posix::EncodeIni(posix::IniEncoding::kUtf16Le, row.text, bytes);
        EXPECT_EQ(!row.utf16.empty(), encoded);
        if (encoded) EXPECT_EQ("\xFF\xFE" + std::string(row.utf16), bytes);
    }
}

// The folder of the last file renamed into place, which must be that of the file it replaces.
std::string g_renamed_from;
int Rename(const char* from, const char* to) noexcept {
    g_renamed_from = std::string(from).substr(0, std::string(from).rfind('/') + 1);
    return ::rename(from, to);
}

TEST(PosixIniWriter, FilesAreReplacedThroughLinksAndKeepTheirMode) {
    const auto real_rename = std::exchange(posix::Sys().rename, Rename);
    const std::string kNew = "[ADRTP]\nExitCode=0\n";
    test::TempDir dir;
    const std::string longest = std::string(251, 'r') + ".rtp";  // the most a folder takes
    dir.Write("file.rtp", "[ADRTP]\nExitCode=5\n", 0640);
    std::ofstream(dir.File(longest)) << "[ADRTP]\nExitCode=5\n";  // no room for Write's temporary
    ASSERT_EQ(0, ::chmod(dir.File(longest).c_str(), 0640));
    ASSERT_EQ(0, ::symlink(dir.File("file.rtp").c_str(), dir.File("link.rtp").c_str()));
    ASSERT_EQ(0, ::symlink(dir.File("gone.rtp").c_str(), dir.File("dangling.rtp").c_str()));
    const struct {
        const char* name;     // given to the writer
        const char* changed;  // the file that gets the new bytes, or null: nothing changes
    } rows[] = {
        {"link.rtp", "file.rtp"},
        {"dangling.rtp", nullptr},
        {"file.rtp/r.rtp", nullptr},  // below a file
        {longest.c_str(), longest.c_str()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name).substr(0, 20));
        const std::set<std::string> before = Listing(dir);
        EXPECT_EQ(row.changed != nullptr,
                  files::ReplaceFileContents(dir.File(row.name).c_str(), kNew.data(), kNew.size()));
        EXPECT_EQ(before, Listing(dir)) << "no temporary stays, nothing else is made";
        if (row.changed == nullptr) continue;
        EXPECT_EQ(kNew, dir.Read(row.changed));
        EXPECT_EQ(dir.File(""), g_renamed_from);
        const auto mode = std::filesystem::status(dir.File(row.changed)).permissions();
        EXPECT_EQ(0640u, static_cast<unsigned>(mode));
    }
    posix::Sys().rename = real_rename;
}

}  // namespace
}  // namespace wbh::platform
