// Names on POSIX: what the name rule answers (a name holds 255 bytes, whatever its script),
// and a long name in another script that still gets its launcher, cut to fit, titled whole.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "setup/shortcut_maker.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

using platform::files::CheckName;
using platform::files::NameRule;

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

TEST(PosixNameRule, NamesAndTheirLimits) {
    const std::string chinese = "\xE4\xB9\xA6";  // three bytes
    for (const std::string name : std::initializer_list<std::string>{
             "nul.livre.desktop", "CON", "a\\b", std::string(255, 'n'), Repeat(chinese, 85)}) {
        EXPECT_EQ(NameRule::kFile, CheckName(("/tmp/" + name).c_str())) << name;
    }
    for (const std::string name : {std::string(256, 'n'), Repeat(chinese, 86)}) {
        EXPECT_EQ(NameRule::kTooLong, CheckName(("/tmp/" + name).c_str())) << name;
    }
    const std::string deep = "/" + Repeat(std::string(200, 'd') + "/", 21) + "n";
    EXPECT_EQ(NameRule::kTooLong, CheckName(deep.c_str())) << "over PATH_MAX";
    for (const char* path : {"/tmp/m/", "/tmp/..", "/tmp/.", "/tmp/a\nb", ""}) {
        EXPECT_EQ(NameRule::kNever, CheckName(path)) << path;
    }
}

TEST(PosixNameRule, ALongNameInAnyScriptGetsItsLauncherTitledWhole) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string();
    const std::string name = Repeat("\xE4\xB9\xA6", 90);  // 270 bytes
    EXPECT_EQ(0, MakeOpenShortcut(folder.c_str(), "/livre/index.html", name.c_str(), ""));
    EXPECT_EQ(0, MakeOpenShortcut(folder.c_str(), "/livre/index.html", name.c_str(), ""));
    // 84 characters and ".desktop" fit 255 bytes; the numbered form takes 81.
    const std::string first = Repeat("\xE4\xB9\xA6", 82) + ".desktop";
    const std::string second = Repeat("\xE4\xB9\xA6", 81) + " (0).desktop";
    EXPECT_NE(std::string::npos, dir.Read(first).find("\nName=" + name + "\n"));
    EXPECT_NE(std::string::npos, dir.Read(second).find("\nName=" + name + " (0)\n"));
}

}  // namespace
}  // namespace wbh
