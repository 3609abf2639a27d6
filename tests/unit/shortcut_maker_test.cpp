// Shortcut names: the plain name, the first free numbered form, nothing saved when no free name
// fits, the default names; and where the two shortcuts land.
#include "setup/shortcut_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/com.h"
#include "platform/portable/fault.h"
#include "platform/files.h"
#include "setup/setup_flow.h"
#include "support/desktop_sandbox.h"
#include "support/registry_sandbox.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace fault = platform::fault;

class ShortcutMakerTest : public ::testing::Test {
protected:
    void TearDown() override { fault::Reset(); }

    std::string Chosen(const char* name) { return ChooseShortcutPath(folder_.c_str(), name).CStr(); }
    void Take(const std::string& name) { dir_.Write(name, "x"); }

    platform::ComScope com_;  // the shell link object needs the apartment the program enters
    test::TempDir dir_;
    const std::string folder_ = dir_.Path().string();
};

TEST_F(ShortcutMakerTest, TheFirstFreeNameIsChosen) {
    EXPECT_EQ(dir_.File("livre.lnk"), Chosen("livre"));
    Take("livre (0).lnk");
    EXPECT_EQ(dir_.File("livre.lnk"), Chosen("livre")) << "a numbered form alone does not count";
    Take("livre.lnk");
    EXPECT_EQ(dir_.File("livre (1).lnk"), Chosen("livre"));
    Take("livre (2).lnk");
    EXPECT_EQ(dir_.File("livre (1).lnk"), Chosen("livre")) << "the gap is filled";

    // A file that cannot be read and a folder are taken as much as any file.
    Take("secret.lnk");
    std::filesystem::permissions(dir_.File("secret.lnk"), std::filesystem::perms::none);
    std::filesystem::create_directory(dir_.File("dossier.lnk"));
    EXPECT_EQ(dir_.File("secret (0).lnk"), Chosen("secret"));
    EXPECT_EQ(dir_.File("dossier (0).lnk"), Chosen("dossier"));
}

TEST_F(ShortcutMakerTest, NoNameIsChosenPastThePathLimit) {
    // The plain name fits the 259 characters exactly and is taken; " (0)" would not fit.
    const std::string name(259 - folder_.size() - 1 - 4, 'n');
    EXPECT_EQ(259u, Chosen(name.c_str()).size());
    Take(name + ".lnk");
    EXPECT_EQ("", Chosen(name.c_str()));
    EXPECT_EQ("", Chosen((name + "nnnnn").c_str()));
}

TEST_F(ShortcutMakerTest, OpenShortcutNamesAndNumbering) {
    const std::string target = dir_.Write("index.htm", "<html></html>");
    EXPECT_EQ(0, MakeOpenShortcut(folder_.c_str(), target.c_str(), "", ""));
    EXPECT_EQ(0, MakeOpenShortcut(folder_.c_str(), target.c_str(), "", ""));
    fault::FailCall("LoadString");
    EXPECT_EQ(0, MakeOpenShortcut(folder_.c_str(), target.c_str(), "", ""));
    fault::Reset();
    EXPECT_EQ(0, MakeOpenShortcut(folder_.c_str(), target.c_str(), "Mon livre", dir_.File("icone.ico").c_str()));
    for (const char* name : {"Lancer le livre Web.lnk", "Lancer le livre Web (0).lnk",
                             "Open autorun book.lnk", "Mon livre.lnk"}) {
        EXPECT_EQ(platform::files::Presence::kPresent, platform::files::Probe(dir_.File(name).c_str()))
            << name;
    }

    // Nothing to do without a target or an install directory.
    EXPECT_EQ(1, MakeOpenShortcut(folder_.c_str(), "", "vide", ""));
    EXPECT_EQ(1, MakeOpenShortcut("", target.c_str(), "vide", ""));
    EXPECT_EQ(platform::files::Presence::kAbsent, platform::files::Probe(dir_.File("vide.lnk").c_str()));
}

TEST_F(ShortcutMakerTest, DesktopShortcutNames) {
    test::RegistrySandbox registry;
    test::DesktopSandbox desktop;
    const std::string target = dir_.Write("index.htm", "<html></html>");
    EXPECT_EQ(0, MakeDesktopShortcut(target.c_str(), "", ""));
    EXPECT_EQ(0, MakeDesktopShortcut(target.c_str(), "", ""));
    fault::FailCall("LoadString");
    EXPECT_EQ(0, MakeDesktopShortcut(target.c_str(), "", ""));
    EXPECT_EQ("autorun book.lnk|livre Web (0).lnk|livre Web.lnk", desktop.Names());

    // No target: not even the desktop is looked for. No desktop: nothing is made.
    fault::Reset();
    EXPECT_EQ(1, MakeDesktopShortcut("", "x", ""));
    EXPECT_EQ(0, fault::CallCount("DesktopDirectory"));
    fault::FailCall("DesktopDirectory");
    EXPECT_GT(0, MakeDesktopShortcut(target.c_str(), "x", ""));
    fault::Reset();
    fault::FailCall("CoCreateInstance");
    EXPECT_GT(0, MakeDesktopShortcut(target.c_str(), "x", ""));
    EXPECT_EQ("autorun book.lnk|livre Web (0).lnk|livre Web.lnk", desktop.Names());
}

}  // namespace
}  // namespace wbh
