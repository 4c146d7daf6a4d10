#include "publish/chm/ChmImages.h"

#include "publish/chm/JpegOrientation.h"

#include "ChmTestSupport.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::chm;
using namespace qm::test;

TEST(ChmImages, CollectSrcValuesReadsEveryQuotedSrc) {
    struct Case {
        const char* html;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {R"(<img src="a.jpg"><IMG SRC = 'b.jpg'>)", {"a.jpg", "b.jpg"}},
        {"<img src\n=\t\" c.jpg \">", {" c.jpg "}},
        {R"(<img data-src="d.jpg" src="">)", {"d.jpg"}},
        {R"(<img src="e.jpg'>)", {"e.jpg"}}, // either quote closes
        {R"(src=f.jpg src= "g.jpg")", {"g.jpg"}},
        {R"(<p>no source</p> src)", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CollectSrcValues(c.html), c.expected) << c.html;
}

namespace {

struct ChmImagesFixture : ::testing::Test {
    TChmFixture f;
    const std::string rotated = WithExifOrientation(MakeQuadrantJpeg(32, 16), 6);

    // A photo in the output folder's copy of the assets.
    std::string PutCopy(const std::string& relative, const std::string& bytes) {
        WriteFile(f.Out(relative), bytes);
        return f.Out(relative);
    }
};

} // namespace

TEST_F(ChmImagesFixture, StraightensPhotosOfPublishedPagesOnly) {
    const std::string page = R"(<img src="assets/images/p.jpg"><img SRC='/assets/images/p.jpg'>)"
                             R"(<img src="/Assets/Photos/Q.JPEG"><img src="assets/images/s.png">)";
    f.AddTopic("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "Shown", "", &page);
    const std::string hiddenPage = R"(<img src="assets/images/hidden.jpg">)";
    f.AddTopic("BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB", "Hidden", "", &hiddenPage).ExcludeChm = true;

    const std::string p = PutCopy("assets/images/p.jpg", rotated);
    const std::string q = PutCopy("Assets/Photos/Q.JPEG", rotated);
    const std::string hidden = PutCopy("assets/images/hidden.jpg", rotated);
    const std::string png = PutCopy("assets/images/s.png", rotated);

    EXPECT_TRUE(NormalizeChmImages(f.Project, f.OutDir()).empty());
    EXPECT_EQ(DecodeJpeg(ReadFile(p)).Width, 16u);
    EXPECT_EQ(DecodeJpeg(ReadFile(q)).Width, 16u);
    EXPECT_EQ(ReadFile(hidden), rotated);
    EXPECT_EQ(ReadFile(png), rotated);
}

TEST_F(ChmImagesFixture, NeverReachesOutsideTheOutputFolder) {
    // From build/chm, three levels up is the project folder itself.
    const std::string page = R"(<img src="assets/../../../assets/own.jpg">)"
                             R"(<img src="/assets/x/..\..\..\..\assets/own.jpg">)";
    f.AddTopic("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "Sneaky", "", &page);
    const std::string own = f.Dir / "proj/assets/own.jpg";
    WriteFile(own, rotated);
    PutCopy("assets/own.jpg", rotated);

    EXPECT_TRUE(NormalizeChmImages(f.Project, f.OutDir()).empty());
    EXPECT_EQ(ReadFile(own), rotated);
}

TEST_F(ChmImagesFixture, ABrokenPhotoIsReportedAndTheOthersStillTurn) {
    const std::string page = R"(<img src="assets/broken.jpg"><img src="assets/good.jpg">)";
    f.AddTopic("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "Photos", "", &page);
    const std::string brokenBytes = rotated.substr(0, rotated.size() / 2);
    const std::string broken = PutCopy("assets/broken.jpg", brokenBytes);
    const std::string good = PutCopy("assets/good.jpg", rotated);

    const std::vector<std::string> warnings = NormalizeChmImages(f.Project, f.OutDir());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("assets/broken.jpg"), std::string::npos) << warnings[0];
    EXPECT_EQ(ReadFile(broken), brokenBytes);
    EXPECT_EQ(ReadJpegOrientation(good), 1);
}
