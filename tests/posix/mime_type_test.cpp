// The .7xe type in the shared MIME database: the package and the rebuild, unless some database
// already types *.7xe; a stand-in update-mime-database records its arguments.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/portable/fault.h"
#include "platform/shell.h"
#include "support/saved_environment.h"
#include "support/temp_dir.h"

namespace wbh::platform::shell {
namespace {

constexpr char kPackage[] = "/mime/packages/webbook-helper-7xe.xml";

TEST(MimeType, RegisteredUnlessADatabaseKnowsTheGlob) {
    const struct {
        const char* globs2;  // the user's generated globs2 ("system:" first: the system's)
        const char* data;    // XDG_DATA_HOME: "" unset, "rel" relative, "file" a regular file
        const char* tool;    // the stand-in on PATH, or null for none
        const char* failing;
        FileTypeRegistration result;
        bool written;
    } rows[] = {
        {nullptr, "", "record", nullptr, FileTypeRegistration::kRegistered, true},
        {"50:text/plain:*.txt\n50:x/y:*.7XE:cs\n# 50:x/y:*.7xe\n", "rel", "record", nullptr,
         FileTypeRegistration::kRegistered, true},
        {"50:x/y:*.7XE\n", "abs", "record", nullptr, FileTypeRegistration::kRegistered, false},
        {"50:x/y:*.7xe:w,cs", "abs", "record", nullptr, FileTypeRegistration::kRegistered, false},
        {"system:50:x/y:*.7xe\n", "abs", "record", nullptr, FileTypeRegistration::kRegistered,
         false},
        {nullptr, "abs", nullptr, nullptr, FileTypeRegistration::kRegistered, true},
        {nullptr, "file", "record", nullptr, FileTypeRegistration::kFailed, false},
        {nullptr, "abs", "record", "WriteTempFile", FileTypeRegistration::kFailed, false},
        {nullptr, "abs", "record", "CreateDirectory", FileTypeRegistration::kFailed, false},
    };
    test::SavedEnvironment saved{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "PATH"};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.globs2 ? row.globs2 : "-") << row.data);
        test::TempDir dir;
        const std::string home = dir.File("home");
        const std::string data = std::string(row.data) == "abs" ? dir.File("data")
                                                                : home + "/.local/share";
        std::filesystem::create_directories(dir.Path() / "bin");
        std::filesystem::create_directories(dir.Path() / "system/mime");
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_DIRS", dir.File("system").c_str(), 1);
        setenv("PATH", dir.File("bin").c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        if (std::string(row.data) == "abs") setenv("XDG_DATA_HOME", data.c_str(), 1);
        if (std::string(row.data) == "rel") setenv("XDG_DATA_HOME", "data", 1);
        if (std::string(row.data) == "file") setenv("XDG_DATA_HOME", dir.Write("f", "").c_str(), 1);
        if (row.tool) {
            chmod(dir.Write("bin/update-mime-database",
                            "#!/bin/sh\nprintf '%s|' \"$@\" >>" + dir.File("args") + "\n")
                      .c_str(),
                  0755);
        }
        if (row.globs2) {
            const std::string text = row.globs2;
            const bool system = text.rfind("system:", 0) == 0;
            std::filesystem::create_directories(data + "/mime");
            std::filesystem::rename(dir.Write("g", system ? text.substr(7) : text),
                                    system ? dir.File("system/mime/globs2") : data + "/mime/globs2");
        }
        fault::Reset();
        if (row.failing) fault::FailCall(row.failing);
        EXPECT_EQ(row.result, RegisterFileType());
        fault::Reset();
        const bool written = std::filesystem::exists(data + kPackage);
        EXPECT_EQ(row.written, written);
        EXPECT_EQ(written && row.tool ? data + "/mime|" : "<missing>", dir.Read("args"));
        if (written) {
            const std::string package =
                dir.Read(data.substr(dir.Path().string().size() + 1) + kPackage);
            EXPECT_NE(std::string::npos, package.find("<glob pattern=\"*.7xe\"/>"));
        }
        if (std::string(row.data) == "abs" && std::filesystem::exists(data + "/mime/packages")) {
            EXPECT_EQ(row.written, !std::filesystem::is_empty(data + "/mime/packages"));
        }
    }
}

// The real database tool: its globs2 then gives the type, and the next run leaves it alone.
TEST(MimeType, TheRealDatabaseListsTheGlobOnce) {
    test::SavedEnvironment saved{"XDG_DATA_HOME"};
    test::TempDir dir;
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    EXPECT_EQ(FileTypeRegistration::kRegistered, RegisterFileType());
    EXPECT_NE(std::string::npos, dir.Read("mime/globs2").find("\n50:application/x-7xe:*.7xe\n"));
    std::filesystem::remove(dir.File("mime/packages/webbook-helper-7xe.xml"));
    EXPECT_EQ(FileTypeRegistration::kRegistered, RegisterFileType());
    EXPECT_FALSE(std::filesystem::exists(dir.File("mime/packages/webbook-helper-7xe.xml")));
}

}  // namespace
}  // namespace wbh::platform::shell
