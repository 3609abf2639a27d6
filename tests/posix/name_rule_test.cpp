// Names on POSIX: what the name rule answers (a name holds 255 bytes, whatever its script),
// and a long name in another script that still gets its launcher, cut to fit, titled whole.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/guid.h"
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
    const struct {
        std::string path;
        NameRule rule;
    } rows[] = {
        {"/tmp/nul.livre.desktop", NameRule::kFile},
        {"/tmp/CON", NameRule::kFile},
        {"/tmp/a\\b", NameRule::kFile},
        {"/tmp/" + std::string(255, 'n'), NameRule::kFile},
        {"/tmp/" + Repeat("\xE4\xB9\xA6", 85), NameRule::kFile},
        {"/tmp/" + std::string(256, 'n'), NameRule::kTooLong},
        {"/tmp/" + Repeat("\xE4\xB9\xA6", 86), NameRule::kTooLong},
        {"/" + Repeat(std::string(200, 'd') + "/", 21) + "n", NameRule::kTooLong},
        {"/tmp/m/", NameRule::kNever},
        {"/tmp/..", NameRule::kNever},
        {"/tmp/.", NameRule::kNever},
        {"/tmp/a\nb", NameRule::kNever},
        {"", NameRule::kNever},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(row.rule, CheckName(row.path.c_str()));
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
