// The parameters file reader on the platform's INI backend: file order, section names as
// written, the sentinel ending the read, growth of the buffers, and large values.
#include "params/parameters_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/fault.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

std::vector<std::string> g_entries;
int g_stop_after = 0;

int Record(const char* section, const char* key, const char* value) {
    g_entries.push_back(std::string(section) + "|" + key + "|" + value);
    return (g_stop_after != 0 && static_cast<int>(g_entries.size()) == g_stop_after) ? 0 : 1;
}

struct Outcome {
    int result;
    std::vector<std::string> entries;
};

Outcome Read(const std::string& file) {
    g_entries.clear();
    g_stop_after = 0;
    const int result = ReadParametersFile(file.c_str(), Record);
    return {result, g_entries};
}

using Entries = std::vector<std::string>;

TEST(ParametersFile, EntriesInFileOrderWithTheirSections) {
    test::TempDir dir;
    const struct {
        const char* what;
        const char* text;
        int result;
        Entries entries;
    } rows[] = {
        {"two sections",
         "[parameters]\nmode=1\n[other]\nmode=2\n",
         1,
         {"parameters|mode|1", "other|mode|2"}},
        {"section name as written", "[PARAMETERS]\nMode=3\n", 1, {"PARAMETERS|Mode|3"}},
        {"empty value goes on", "[p]\na=\nb=2\n", 1, {"p|a|", "p|b|2"}},
        {"sentinel in capitals ends the read", "[p]\na=1\nb=NOT_FOUND_ERROR\nc=3\n", 0, {"p|a|1"}},
        {"longer text beginning with the sentinel",
         "[p]\na=not_found_error and more\nb=2\n",
         0,
         {}},
        {"first section named like the sentinel", "[not_found_error]\na=1\n[p]\nb=2\n", 1, {}},
        {"first key named like the sentinel skips its section",
         "[p]\nnot_found_error=1\na=2\n[q]\nb=3\n",
         1,
         {"q|b|3"}},
        {"section without keys skipped", "[empty]\n[p]\na=1\n", 1, {"p|a|1"}},
        {"empty file", "", 1, {}},
        {"keys without a section are not listed", "a=1\n", 1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Outcome got = Read(dir.Write("p.ini", row.text));
        EXPECT_EQ(row.result, got.result);
        EXPECT_EQ(row.entries, got.entries);
    }
}

TEST(ParametersFile, NoFileNameOrNoFileReadsAsEmpty) {
    test::TempDir dir;
    EXPECT_EQ(1, Read("").result);
    const Outcome missing = Read(dir.File("missing.ini"));
    EXPECT_EQ(1, missing.result);
    EXPECT_TRUE(missing.entries.empty());
}

TEST(ParametersFile, HandlerZeroEndsTheRead) {
    test::TempDir dir;
    const std::string file = dir.Write("p.ini", "[p]\na=1\nb=2\nc=3\n");
    g_entries.clear();
    g_stop_after = 2;
    EXPECT_EQ(0, ReadParametersFile(file.c_str(), Record));
    EXPECT_EQ((Entries{"p|a|1", "p|b|2"}), g_entries);
}

TEST(ParametersFile, BuffersGrowBy256ThenDouble) {
    std::vector<std::uint32_t> sizes{16};
    while (sizes.size() < 8) sizes.push_back(ParametersFile::NextSize(sizes.back()));
    EXPECT_EQ((std::vector<std::uint32_t>{16, 272, 528, 784, 1040, 2080, 4160, 8320}), sizes);
    EXPECT_EQ(0u, ParametersFile::NextSize(0x40000000u));  // no size past 2 GiB
}

TEST(ParametersFile, ReadsGrowWithTheFileNotWithRepeatedSections) {
    test::TempDir dir;
    const std::string value(1000, 'v');
    std::string text = "[p]\nk=" + value + "\n";
    for (int i = 0; i < 100; ++i) text += "[P]\n";
    platform::fault::Reset();
    const Outcome got = Read(dir.Write("p.ini", text));
    // The section list (203 bytes) needs 16 and 272; the key list fits 16 bytes; the value needs
    // 16, 272, 528, 784, 1040. The repeated section is the first one again: not read again.
    EXPECT_EQ(8, platform::fault::CallCount());
    EXPECT_EQ((Entries{"p|k|" + value}), got.entries);
}

TEST(ParametersFile, EachFailedReadHasItsOwnOutcome) {
    test::TempDir dir;
    const std::string file = dir.Write("p.ini", "[p]\na=1\nb=2\n[q]\nc=3\n");
    // The reads in order: section list, keys of p, a, b, keys of q, c. A failed read answers as
    // a missing file: a list reads as empty and is skipped, a value ends the whole read.
    const struct {
        int result;
        Entries entries;
    } outcomes[] = {
        {1, {}},
        {1, {"q|c|3"}},
        {0, {}},
        {0, {"p|a|1"}},
        {1, {"p|a|1", "p|b|2"}},
        {0, {"p|a|1", "p|b|2"}},
        {1, {"p|a|1", "p|b|2", "q|c|3"}},  // no seventh read: nothing fails
    };
    for (long n = 1; n <= 7; ++n) {
        SCOPED_TRACE("failing read " + std::to_string(n));
        platform::fault::Reset();
        platform::fault::FailNth(n);
        const Outcome got = Read(file);
        platform::fault::Reset();
        EXPECT_EQ(outcomes[n - 1].result, got.result);
        EXPECT_EQ(outcomes[n - 1].entries, got.entries);
    }
}

TEST(ParametersFile, NamesAndValuesOfAnyLengthAreReadWhole) {
    test::TempDir dir;
    const std::string big(1 << 20, 'v');
    const std::string long_key(3000, 'k');
    const std::string long_section(5000, 's');
    const std::string file = dir.Write("p.ini", "[" + long_section + "]\n" + long_key + "=" + big +
                                                    "\nshort=" + std::string(14, 'x'));
    const Outcome got = Read(file);
    EXPECT_EQ(1, got.result);
    ASSERT_EQ(2u, got.entries.size());
    EXPECT_EQ(long_section + "|" + long_key + "|" + big, got.entries[0]);
    // 14 characters fill a 16-byte read to size - 2, so it is read again, larger.
    EXPECT_EQ(long_section + "|short|" + std::string(14, 'x'), got.entries[1]);
}

}  // namespace
}  // namespace wbh
