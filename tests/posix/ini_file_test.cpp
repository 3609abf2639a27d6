// The POSIX INI layer's cache of the last file parsed sees every change and saves re-reading.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "params/parameters_file.h"
#include "platform/ini.h"
#include "support/temp_dir.h"

namespace wbh::platform {
namespace {

std::string Value(const std::string& file, const char* key) {
    char buffer[64];
    IniReadString("s", key, "<none>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

TEST(PosixIniFile, SeesFilesReplacedOrRewritten) {
    test::TempDir dir;
    const std::string file = dir.Write("a.ini", "[s]\nk=1\n");
    EXPECT_EQ("1", Value(file, "k"));

    dir.Write("a.ini", "[s]\nk=2\n");  // replaced by another file
    EXPECT_EQ("2", Value(file, "k"));

    std::ofstream(file, std::ios::binary | std::ios::trunc) << "[s]\nk=333\n";  // same file
    EXPECT_EQ("333", Value(file, "k"));

    ASSERT_TRUE(IniWriteString("s", "k", "4", file.c_str()));
    EXPECT_EQ("4", Value(file, "k"));

    std::remove(file.c_str());
    EXPECT_EQ("<none>", Value(file, "k"));
}

TEST(PosixIniFile, AFifoOrDeviceAtTheNameNeverBlocks) {
    test::TempDir dir;
    const std::string fifo = dir.File("p.ini");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    for (const std::string& file : {fifo, std::string("/dev/zero")}) {
        SCOPED_TRACE(file);
        EXPECT_EQ("<none>", Value(file, "k"));  // read as a missing file, at once
        EXPECT_FALSE(IniWriteString("s", "k", "1", file.c_str()));
    }
    EXPECT_FALSE(std::filesystem::is_regular_file(fifo));  // not replaced by a file
}

// Bytes this process has read so far, as the kernel counts them.
long long BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string field;
    long long value = -1;
    while (io >> field >> value && field != "rchar:") {
    }
    return value;
}

TEST(PosixIniFile, AFileOfManyKeysIsReadOnce) {
    test::TempDir dir;
    std::string text = "[parameters]\n";
    for (int i = 0; i < 1000; ++i) text += "key" + std::to_string(i) + "=value\n";
    const std::string file = dir.Write("p.ini", text);
    int entries = 0;
    const long long before = BytesRead();
    EXPECT_EQ(1, ReadParametersFile(file.c_str(), [&](const char*, const char*, const char*) {
                  return ++entries;
              }));
    EXPECT_EQ(1000, entries);
    EXPECT_LT(BytesRead() - before, 2 * static_cast<long long>(text.size()))
        << "the file is read once, not once per key";
}

}  // namespace
}  // namespace wbh::platform
