// Where Help finds the user guide: installed beside the program, or the
// source tree's pages for the build's own program only.
#include <gtest/gtest.h>

#include "app/help_guide.h"
#include "app_test_support.h"

namespace qb::testing {
namespace {

TEST(HelpGuide, InstalledFolderIsUnderThePrefixOfTheBinFolder) {
    EXPECT_EQ(InstalledGuideFolder("/usr/bin/quillbox-reader"), "/usr/share/quillbox-reader/guide");
    EXPECT_EQ(InstalledGuideFolder("/opt/qb/bin/quillbox-reader"),
              "/opt/qb/share/quillbox-reader/guide");
    EXPECT_EQ(InstalledGuideFolder("/bin/quillbox-reader"), "/share/quillbox-reader/guide");
}

class GuideSearch : public ::testing::Test {
protected:
    GuideSearch() {
        env.programPath = dir / "prefix/bin/quillbox-reader";
        build = {dir / "build/bin", dir / "source/guide"};
    }
    void Page(const std::string& folder) {
        std::filesystem::create_directories(folder);
        WriteFile(folder + "/index.html", "<html></html>");
    }
    TempDir dir;
    FakeEnv env;
    BuildTreeGuide build;
};

TEST_F(GuideSearch, InstalledGuideComesFirst) {
    Page(dir / "prefix/share/quillbox-reader/guide");
    Page(dir / "source/guide");
    EXPECT_EQ(FindGuideFolder(env, build), dir / "prefix/share/quillbox-reader/guide");
    env.programPath = dir / "build/bin/quillbox-reader";
    EXPECT_EQ(FindGuideFolder(env, build), dir / "source/guide");
}

TEST_F(GuideSearch, SourcePagesServeOnlyTheBuildsOwnProgram) {
    Page(dir / "source/guide");
    // An installed program without its guide: not installed, whatever the
    // build it came from left behind.
    EXPECT_EQ(FindGuideFolder(env, build), std::nullopt);
    env.programPath = dir / "build/bin/quillbox-reader";
    EXPECT_EQ(FindGuideFolder(env, build), dir / "source/guide");
    EXPECT_EQ(FindGuideFolder(env, BuildTreeGuide{}), std::nullopt);
}

TEST_F(GuideSearch, AFolderWithoutTheContentsPageIsNoGuide) {
    std::filesystem::create_directories(dir / "prefix/share/quillbox-reader/guide");
    WriteFile(dir / "prefix/share/quillbox-reader/guide/find.html", "<html></html>");
    EXPECT_EQ(FindGuideFolder(env, build), std::nullopt);
}

}  // namespace
}  // namespace qb::testing
