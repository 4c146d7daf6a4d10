#include "import/MediaReferences.h"
#include "base/PathUtils.h"
#include "import/ImportRun.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

class MediaImportTest : public ::testing::Test {
protected:
    MediaImportTest() {
        run.ProjectRoot = dir / "project/";
        run.HtmlFolder = dir / "page";
    }
    [[nodiscard]] bool InProject(const std::string& url) const {
        return FileExists(dir / "project/" + url);
    }
    TTempDir dir;
    TImportRun run;
};

} // namespace

TEST_F(MediaImportTest, DecodedNameIsCopiedUnencoded) {
    WriteFile(dir / "page/images/a b c.png", "abc");
    EXPECT_EQ(RewriteMediaReferences("<img src=\"images/a b%20c.png\">", run),
              "<img src=\"assets/images/a b c.png\">");
    EXPECT_EQ(ReadFile(dir / "project/assets/images/a b c.png"), "abc");
}

TEST_F(MediaImportTest, SameNameTwiceAndSameFileOnce) {
    WriteFile(dir / "page/one/name.png", "1");
    WriteFile(dir / "page/two/name.png", "2");
    EXPECT_EQ(RewriteMediaReferences("<img src=one/name.png><img src='two/name.png'>"
                                     "<img alt=x src=\"./one/name.png\">",
                                     run),
              "<img src=\"assets/images/name.png\"><img src=\"assets/images/name_2.png\">"
              "<img alt=x src=\"assets/images/name.png\">");
    EXPECT_EQ(ReadFile(dir / "project/assets/images/name_2.png"), "2");
    EXPECT_FALSE(InProject("assets/images/name_3.png"));
}

TEST_F(MediaImportTest, SrcsetEntriesKeepTheirDescriptors) {
    WriteFile(dir / "page/a.png", "a");
    WriteFile(dir / "page/b.png", "b");
    EXPECT_EQ(RewriteSrcset("a.png 1x, b.png  2x,,missing.png 3x, https://x/c.png", run),
              "assets/images/a.png 1x, assets/images/b.png 2x, missing.png 3x, https://x/c.png");
    EXPECT_EQ(RewriteMediaReferences(
                  "<picture><source srcset=\"b.png 2x\"><img src=\"a.png\" srcset=\"a.png 1x, "
                  "b.png 2x\"></picture>",
                  run),
              "<picture><source srcset=\"assets/images/b.png 2x\"><img src=\"assets/images/a.png\" "
              "srcset=\"assets/images/a.png 1x, assets/images/b.png 2x\"></picture>");
    EXPECT_FALSE(InProject("assets/images/a_2.png")); // both passes share the copies
}

TEST_F(MediaImportTest, FirstSourceAttributeOfAnElementOnly) {
    WriteFile(dir / "page/poster.jpg", "p");
    WriteFile(dir / "page/clip.mp4", "c");
    WriteFile(dir / "page/talk.vtt", "t");
    EXPECT_EQ(
        RewriteMediaReferences("<video poster=\"poster.jpg\" src=\"clip.mp4\"></video>"
                               "<track src=talk.vtt><object data=\"clip.mp4\"></object>"
                               "<a href=\"clip.mp4\">clip</a>",
                               run),
        "<video poster=\"assets/images/poster.jpg\" src=\"clip.mp4\"></video>"
        "<track src=\"assets/files/talk.vtt\"><object data=\"assets/media/clip.mp4\"></object>"
        "<a href=\"clip.mp4\">clip</a>");
}

TEST_F(MediaImportTest, AddressesAreRequotedButKept) {
    EXPECT_EQ(RewriteMediaReferences("<img src='https://x/a.png?w=1&amp;h=2'>"
                                     "<iframe src=//video.example/embed/1></iframe>"
                                     "<img src=\"data:image/gif;base64,R0lGOD==\">",
                                     run),
              "<img src=\"https://x/a.png?w=1&amp;h=2\">"
              "<iframe src=\"//video.example/embed/1\"></iframe>"
              "<img src=\"data:image/gif;base64,R0lGOD==\">");
}

TEST_F(MediaImportTest, BadReferencesStayAndTheRestGoesOn) {
    WriteFile(dir / "page/good.png", "g");
    EXPECT_EQ(RewriteMediaReferences("<img src=\"bad%zz.png\"><img src=\"a%7Cb.png\">"
                                     "<img src=\"file:///C:/Users/a/pic.png\">"
                                     "<img src=\"C:\\pics\\pic.png\"><img src=\"missing.png\">"
                                     "<img src=\"good.png?v=3\">",
                                     run),
              "<img src=\"bad%zz.png\"><img src=\"a%7Cb.png\">"
              "<img src=\"file:///C:/Users/a/pic.png\">"
              "<img src=\"C:\\pics\\pic.png\"><img src=\"missing.png\">"
              "<img src=\"assets/images/good.png\">");
}

TEST_F(MediaImportTest, SiteRootAndFileUrlReferences) {
    WriteFile(dir / "page/img/x.png", "x");
    WriteFile(dir / "page/y.png", "y");
    WriteFile(dir / "elsewhere/z.png", "z");
    const std::string outside = "file://" + dir / "elsewhere/z.png";
    EXPECT_EQ(RewriteMediaReferences("<img src=\"/img/x.png\"><img src=\"file://" +
                                         dir / "page/y.png" + "\"><img src=\"" + outside + "\">",
                                     run),
              "<img src=\"assets/images/x.png\"><img src=\"assets/images/y.png\"><img src=\"" +
                  outside + "\">");
    EXPECT_EQ(ReadFile(dir / "project/assets/images/y.png"), "y");
    ASSERT_EQ(run.Refused.size(), 1u);
    EXPECT_EQ(run.Refused[0].Reference, outside);
    EXPECT_EQ(run.Refused[0].Why, TRefusal::Outside);
}
