// Running out of memory never throws out of a platform call: each is run once for every
// allocation it makes, with that one failing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/program.h"
#include "params/parameters_file.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "support/desktop_sandbox.h"
#include "support/fault_injection.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

static long g_allocations_left = -1;  // before the one that fails; -1: none fails

void* operator new(std::size_t size) {
    if (g_allocations_left >= 0 && g_allocations_left-- == 0) throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace wbh::platform {
namespace {

// Runs `call` with its first, second, ... allocation failing until it makes no more.
template <typename Call>
void EachAllocationFails(const char* what, Call call) {
    for (long n = 0;; ++n) {
        g_allocations_left = n;
        EXPECT_NO_THROW(call()) << what << ": allocation " << n << " failed";
        const bool reached = g_allocations_left < 0;
        g_allocations_left = -1;
        if (!reached || ::testing::Test::HasFailure()) break;
    }
}

TEST(OutOfMemory, NoPlatformCallThrows) {
    test::TempDir dir;
    test::RegistrySandbox registry_sandbox;
    test::DesktopSandbox desktop_sandbox;
    const std::string ini = dir.Write("p.ini", "\xEF\xBB\xBF[parameters]\nmode=1\n");
    const std::string book = dir.File("book.js");
    const std::string link_file = dir.File("livre.desktop");  // the calls below allocate nothing

    EachAllocationFails("registry", [] {
        using namespace registry;
        Key key = nullptr;
        const Key user = RootKey(Root::kCurrentUser);
        if (CreateKey(user, "Software\\Quarlo\\Test", kAllAccess, &key) != 0) return;
        SetValue(key, "v", kTypeBinary, reinterpret_cast<const std::uint8_t*>("x"), 1);
        std::uint8_t data[8];
        std::uint32_t type = 0, size = sizeof data, count = 0;
        QueryValue(key, "v", &type, data, &size);
        CountSubkeys(key, &count);
        DeleteValue(key, "v");
        CloseKey(key);
    });
    EachAllocationFails("files, desktop and strings", [&] {
        files::ReplaceFileContents(book.c_str(), "x", 1);
        files::Probe(book.c_str());
        char text[260];
        shell::DesktopDirectory(text, sizeof text);
        std::remove(link_file.c_str());
        if (shell::SaveShortcut(link_file.c_str(), "livre", book.c_str(), book.c_str()) == 0)
            EXPECT_EQ(0, ::access(link_file.c_str(), F_OK)) << "a launcher saved, but not there";
        LoadText(1501, text, 64);
    });

    // A parameters file is read whole, or the read fails: never read with an entry missing. A new
    // time stamp makes each pass parse the file again, with the same allocations.
    long stamp = 0;
    EachAllocationFails("a parameters file", [&] {
        const timespec times[2] = {{0, UTIME_OMIT}, {++stamp, 0}};
        ASSERT_EQ(0, ::utimensat(AT_FDCWD, ini.c_str(), times, 0));
        int entries = 0;
        const int whole = ReadParametersFile(
            ini.c_str(), [&](const char*, const char*, const char*) { return ++entries; });
        EXPECT_TRUE(whole == 0 || entries == 1) << "read whole without its entry";
    });

    // Nor out of a whole run (mode 1, its dialog unanswered), which reads and writes INI files.
    const std::string run = "-mode 1 -autorunbookid b1 -parametersfilepath \"" + ini +
                            "\" -rtpfilename \"" + dir.File("r.rtp") + "\"";
    fault::FailCall("dialog");
    EachAllocationFails("a consent run", [&] { RunProgram(run.c_str()); });
    fault::Reset();
}

}  // namespace
}  // namespace wbh::platform
