// The import marker and the .7xe association: what is written, what is left alone, and the
// order of the two.
#include "setup/import_marker.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/portable/fault.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

namespace reg = platform::registry;
using test::Stored;
constexpr reg::Root kClasses = reg::Root::kClassesRoot;

class ImportMarkerTest : public ::testing::Test {
protected:
    void TearDown() override { platform::fault::Reset(); }
    test::RegistrySandbox sandbox_;
    test::TempDir dir_;
};

TEST_F(ImportMarkerTest, TheAssociationIsMadeWhenAbsentOrEmpty) {
    EXPECT_EQ(1, EnsureFileAssociation());
    EXPECT_EQ(test::TextValue("7xefile"), Stored(kClasses, ".7xe", nullptr));
    EXPECT_TRUE(test::KeyExists(kClasses, "7xefile"));

    test::RegistrySandbox fresh;
    ASSERT_TRUE(test::Store(kClasses, ".7xe", nullptr, test::TextValue("")));
    EXPECT_EQ(1, EnsureFileAssociation());
    EXPECT_EQ(test::TextValue("7xefile"), Stored(kClasses, ".7xe", nullptr));
    EXPECT_TRUE(test::KeyExists(kClasses, "7xefile"));
}

TEST_F(ImportMarkerTest, AnotherClassIsLeftAlone) {
    ASSERT_TRUE(test::Store(kClasses, ".7xe", nullptr, test::TextValue("autre.classe")));
    EXPECT_EQ(1, EnsureFileAssociation());
    EXPECT_EQ(test::TextValue("autre.classe"), Stored(kClasses, ".7xe", nullptr));
    EXPECT_FALSE(test::KeyExists(kClasses, "7xefile"));
}

TEST_F(ImportMarkerTest, FailuresToRegister) {
    platform::fault::FailCall("RegCreateKeyEx");
    EXPECT_EQ(0, EnsureFileAssociation());
    platform::fault::Reset();
    platform::fault::FailCall("RegSetValueEx");
    EXPECT_EQ(0, EnsureFileAssociation());
    EXPECT_FALSE(test::KeyExists(kClasses, "7xefile"));
}

TEST_F(ImportMarkerTest, TheMarkerIsOneSpaceAfterTheAssociation) {
    dir_.Write("import.txt", "autre chose\r\n");
    EXPECT_EQ(1, WriteImportMarker(dir_.File("import.txt").c_str()));
    EXPECT_EQ(" ", dir_.Read("import.txt"));
    EXPECT_TRUE(test::KeyExists(kClasses, "7xefile"));

    // A marker that cannot be written does not undo the association; no path touches nothing.
    test::RegistrySandbox fresh;
    EXPECT_EQ(1, WriteImportMarker((dir_.Path() / "absent" / "import.txt").string().c_str()));
    EXPECT_EQ("<missing>", dir_.Read("absent"));
    EXPECT_TRUE(test::KeyExists(kClasses, "7xefile"));
    test::RegistrySandbox untouched;
    EXPECT_EQ(1, WriteImportMarker(""));
    EXPECT_FALSE(test::KeyExists(kClasses, ".7xe"));
}

}  // namespace
}  // namespace wbh
