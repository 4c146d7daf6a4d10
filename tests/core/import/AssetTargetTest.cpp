#include "import/AssetTarget.h"
#include "base/Error.h"
#include "base/PathUtils.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {
TAssetTarget PlanImage(const TTempDir& project, std::string_view source) {
    return PlanAssetTarget(project.Path(), source, "assets\\images", "assets/images");
}
} // namespace

TEST(PlanAssetTarget, TakesTheNextFreeNameAndCreatesTheFolder) {
    TTempDir project;
    const std::string source = project / "incoming/photo.png";
    const std::vector<std::string> expected = {"photo.png", "photo_2.png", "photo_3.png"};
    for (const std::string& name : expected) {
        const TAssetTarget t = PlanImage(project, source);
        ASSERT_TRUE(t.Ok);
        EXPECT_EQ(t.Url, "assets/images/" + name);
        EXPECT_EQ(t.Dest, project / "assets/images/" + name);
        WriteFile(t.Dest, name); // the caller's copy takes the name
    }
}

TEST(PlanAssetTarget, NameKeepsSpacesButNotUrlDelimiters) {
    TTempDir project;
    const TAssetTarget t = PlanImage(project, "/in/100% sure #1?.png");
    ASSERT_TRUE(t.Ok);
    EXPECT_EQ(t.Url, "assets/images/100_ sure _1_.png");
    EXPECT_EQ(t.Dest, project / "assets/images/100_ sure _1_.png");
}

TEST(PlanAssetTarget, ReservedDestinationsCountAsTaken) {
    TTempDir project;
    TReservedPaths reserved = {project / "assets/css/style.css"};
    const TAssetTarget t = PlanCssTarget(project.Path(), "/a/style.css", &reserved);
    EXPECT_EQ(t.Url, "assets/css/style_2.css");
}

TEST(PlanAssetTarget, FailsWhenAnArgumentIsEmpty) {
    TTempDir project;
    EXPECT_FALSE(PlanAssetTarget("", "/a/x.png", "assets\\images", "assets/images").Ok);
    EXPECT_FALSE(PlanAssetTarget(project.Path(), "", "assets\\images", "assets/images").Ok);
    EXPECT_FALSE(PlanAssetTarget(project.Path(), "/a/x.png", "", "assets/images").Ok);
    EXPECT_FALSE(PlanAssetTarget(project.Path(), "/a/x.png", "assets\\images", "").Ok);
}

TEST(PlanImportTarget, FolderFollowsTheExtension) {
    TTempDir project;
    struct Case {
        const char* source;
        const char* url;
    };
    const Case cases[] = {
        {"/s/Logo.PNG", "assets/images/Logo.PNG"},    {"/s/i.avif", "assets/images/i.avif"},
        {"/s/f.woff2", "assets/fonts/f.woff2"},       {"/s/clip.webm", "assets/media/clip.webm"},
        {"/s/talk.m4a", "assets/media/talk.m4a"},     {"/s/site.css", "assets/css/site.css"},
        {"/s/manual.pdf", "assets/files/manual.pdf"}, {"/s/README", "assets/files/README"},
    };
    for (const Case& c : cases) {
        const TAssetTarget t = PlanImportTarget(project.Path(), c.source);
        EXPECT_EQ(t.Url, c.url) << c.source;
        EXPECT_TRUE(DirectoryExists(ExtractFileDir(t.Dest))) << c.source;
    }
}
