#include "import/CssRewrite.h"
#include "base/PathUtils.h"
#include "import/ImportRun.h"
#include "import/ImportedStyles.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

// A project folder and an imported page's folder side by side.
class CssImportTest : public ::testing::Test {
protected:
    CssImportTest() {
        run.ProjectRoot = dir / "project/";
        run.HtmlFolder = dir / "page";
    }
    [[nodiscard]] std::string Css(const std::string& name) const {
        return ReadFile(dir / "project/assets/css/" + name);
    }
    TTempDir dir;
    TImportRun run;
};

} // namespace

TEST(CssEscapeUrl, SlashesAndEscapedQuotes) {
    EXPECT_EQ(CssEscapeUrl("a\\b\"c.png"), "a/b\\\"c.png");
}

TEST(NeutraliseFlexGrid, FlexAndGridBecomeBlock) {
    EXPECT_EQ(NeutraliseFlexGrid(".a{display:flex}.b{DISPLAY : inline-grid;}.c{display:flexible}"
                                 ".d{display:grid-x}.e{display:inline-block}"),
              ".a{display: block}.b{display: block;}.c{display:flexible}"
              ".d{display: block-x}.e{display:inline-block}");
}

TEST(IsStylesheetRel, OneWordMustBeStylesheet) {
    EXPECT_TRUE(IsStylesheetRel("stylesheet"));
    EXPECT_TRUE(IsStylesheetRel("Alternate\tStyleSheet"));
    EXPECT_TRUE(IsStylesheetRel("\r\nstylesheet "));
    EXPECT_FALSE(IsStylesheetRel("icon"));
    EXPECT_FALSE(IsStylesheetRel("stylesheets"));
    EXPECT_FALSE(IsStylesheetRel(""));
}

TEST_F(CssImportTest, ImportedSheetsAndFontsLandBesideTheSheet) {
    WriteFile(dir / "page/css/main.css",
              "@import 'base.css' screen ;\n@font-face{src:url(../fonts/f.woff)}\n"
              ".x{display:flex;background:url( \"missing.png\" )}\n");
    WriteFile(dir / "page/css/base.css", "p{margin:0}");
    WriteFile(dir / "page/fonts/f.woff", "font");

    CopyCssWithRewrite(dir / "page/css/main.css", dir / "project/assets/css/main.css", run);

    EXPECT_EQ(Css("main.css"), std::string(kBom) +
                                   "@import url(\"base.css\") screen;\n"
                                   "@font-face{src:url(\"f.woff\")}\n"
                                   ".x{display: block;background:url(\"missing.png\")}\n");
    EXPECT_EQ(Css("base.css"), std::string(kBom) + "p{margin:0}");
    EXPECT_EQ(Css("f.woff"), "font");
}

TEST_F(CssImportTest, AFileNamedByManyUrlsIsCopiedOnce) {
    // Also across the sheets of one run: a font named by every rule of a
    // large style sheet, or by several sheets, is one file in the project.
    WriteFile(dir / "page/a.css", "h1{src:url(f.woff)} h2{src:url('f.woff')} i{x:url(data:x)}");
    WriteFile(dir / "page/b.css", "h3{src:url(\"./f.woff\")}");
    WriteFile(dir / "page/f.woff", "font");
    CopyCssWithRewrite(dir / "page/a.css", dir / "project/assets/css/a.css", run);
    CopyCssWithRewrite(dir / "page/b.css", dir / "project/assets/css/b.css", run);
    EXPECT_EQ(Css("a.css"), std::string(kBom) + "h1{src:url(\"f.woff\")} h2{src:url(\"f.woff\")} "
                                                "i{x:url(\"data:x\")}");
    EXPECT_EQ(Css("b.css"), std::string(kBom) + "h3{src:url(\"f.woff\")}");
    EXPECT_EQ(Css("f.woff"), "font");
    EXPECT_FALSE(FileExists(dir / "project/assets/css/f_2.woff"));
}

TEST_F(CssImportTest, SheetsThatImportEachOtherAreCopiedOnce) {
    WriteFile(dir / "page/a.css", "@import url(b.css);a{}");
    WriteFile(dir / "page/b.css", "@import \"a.css\";b{}");
    const std::optional<std::string> url = CopyStyleSheetOnce(dir / "page/a.css", run);
    EXPECT_EQ(url, "assets/css/a.css");
    EXPECT_EQ(Css("a.css"), std::string(kBom) + "@import url(\"b.css\");a{}");
    EXPECT_EQ(Css("b.css"), std::string(kBom) + "@import url(\"a.css\");b{}");
    EXPECT_EQ(CopyStyleSheetOnce(dir / "page/a.css", run), url);
    EXPECT_FALSE(FileExists(dir / "project/assets/css/a_2.css"));
}

TEST_F(CssImportTest, NestedSheetOfTheSameNameGetsItsOwnName) {
    // The outer sheet is written after the sheets it imports, so its name
    // must stay taken while they are planned.
    WriteFile(dir / "page/style.css", "@import url(\"v2/style.css\");outer{}");
    WriteFile(dir / "page/v2/style.css", "inner{}");
    EXPECT_EQ(CopyStyleSheetOnce(dir / "page/style.css", run), "assets/css/style.css");
    EXPECT_EQ(Css("style.css"), std::string(kBom) + "@import url(\"style_2.css\");outer{}");
    EXPECT_EQ(Css("style_2.css"), std::string(kBom) + "inner{}");
}

TEST_F(CssImportTest, AnsiSheetIsCopiedAsUtf8) {
    WriteFile(dir / "page/old.css", "/* \xA9 2009 \x96 */ p{}");
    (void)CopyStyleSheetOnce(dir / "page/old.css", run);
    EXPECT_EQ(Css("old.css"), std::string(kBom) + "/* \xC2\xA9 2009 \xE2\x80\x93 */ p{}");
}

TEST_F(CssImportTest, MissingAndExternalImportsKeepTheirUrls) {
    WriteFile(dir / "page/a.css", "@import url(https://x/y.css) print;@import \"gone.css\";a{}");
    (void)CopyStyleSheetOnce(dir / "page/a.css", run);
    EXPECT_EQ(Css("a.css"),
              std::string(kBom) +
                  "@import url(\"https://x/y.css\") print;@import url(\"gone.css\");a{}");
}

TEST_F(CssImportTest, BuildImportedStylesLinksCopiesAndStyleBlocks) {
    WriteFile(dir / "page/site.css", "body{}");
    const std::string page =
        "<head><link rel=\"icon\" href=\"favicon.ico\">"
        "<link rel=stylesheet href=\"site.css\" media=\"screen\" title=\"Main\">"
        "<link href=\"https://cdn/x.css?a=1&amp;b=2\" rel=\"alternate stylesheet\">"
        "<LINK REL=\"stylesheet\" HREF=\"./site.css\">"
        "<link rel=\"stylesheet\" href=\"gone.css\">"
        "<STYLE>.g{display:grid}</STYLE></head><body><style media=print>p{display:flex}</style>";
    EXPECT_EQ(BuildImportedStyles(page, run),
              "<link rel=\"stylesheet\" href=\"assets/css/site.css\">\r\n"
              "<link rel=\"stylesheet\" href=\"https://cdn/x.css?a=1&amp;b=2\">\r\n"
              "<link rel=\"stylesheet\" href=\"assets/css/site.css\">\r\n"
              "<link rel=\"stylesheet\" href=\"gone.css\">\r\n"
              "<STYLE>.g{display: block}</STYLE>\r\n"
              "<style media=print>p{display: block}</style>\r\n");
    EXPECT_FALSE(FileExists(dir / "project/assets/css/site_2.css"));
    EXPECT_EQ(BuildImportedStyles("<p>none</p>", run), "");
}
