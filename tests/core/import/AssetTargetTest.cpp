#include "import/AssetTarget.h"
#include "base/Error.h"
#include "base/PathUtils.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

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
    TReservedPaths reserved;
    reserved.Paths = {project / "assets/css/style.css"};
    const TAssetTarget t = PlanCssTarget(project.Path(), "/a/style.css", &reserved);
    EXPECT_EQ(t.Url, "assets/css/style_2.css");
}

// Within a run, each copy of a name starts counting where the last one
// stopped; without the run's state every plan counts from 2 again.
TEST(PlanAssetTarget, ARunCountsOnFromTheLastNumberOfAName) {
    TTempDir project;
    for (const char* taken : {"a.png", "a_2.png", "a_3.png", "b.png"})
        WriteFile(project / "assets/images/" + taken, "x");
    TReservedPaths run;
    const auto plan = [&](const char* source, TReservedPaths* state) {
        const TAssetTarget t = PlanImageTarget(project.Path(), source, state);
        WriteFile(t.Dest, "copy");
        return t.Url;
    };
    EXPECT_EQ(plan("/1/a.png", &run), "assets/images/a_4.png");
    EXPECT_EQ(plan("/2/a.png", &run), "assets/images/a_5.png");
    EXPECT_EQ(plan("/3/b.png", &run), "assets/images/b_2.png");
    EXPECT_EQ(plan("/4/c.png", &run), "assets/images/c.png");
    EXPECT_EQ(plan("/5/c.png", &run), "assets/images/c_2.png");
    // A name that another program takes in between is still skipped.
    WriteFile(project / "assets/images/a_6.png", "x");
    EXPECT_EQ(plan("/6/a.png", &run), "assets/images/a_7.png");
    // A file freed below the counter is left alone by the run, taken by a new one.
    std::filesystem::remove(project / "assets/images/a_2.png");
    EXPECT_EQ(plan("/7/a.png", &run), "assets/images/a_8.png");
    EXPECT_EQ(plan("/8/a.png", nullptr), "assets/images/a_2.png");
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
