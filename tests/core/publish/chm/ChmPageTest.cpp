#include "publish/chm/ChmPage.h"

#include "settings/ProjectSettings.h"

#include "ChmTestSupport.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::chm;
using qm::test::TChmFixture;
using qm::test::WriteFile;

namespace {
struct Case {
    const char* input;
    const char* expected;
};
} // namespace

TEST(ChmPage, FixChmAssetPaths) {
    const Case cases[] = {
        {R"(<img src="assets/images/a_1.png">)", R"(<img src="../assets/images/a_1.png">)"},
        {R"(<IMG SRC="/assets/images/a_1.png">)", R"(<IMG src="../assets/images/a_1.png">)"},
        {R"(<img Src="Assets/x.png">)", R"(<img src="../assets/x.png">)"},
        {R"(<a href="assets/files/x.pdf">x</a>)", R"(<a href="assets/files/x.pdf">x</a>)"},
        {R"(<img src='assets/x.png'>)", R"(<img src='assets/x.png'>)"},
        {R"(<img src="../assets/x.png">)", R"(<img src="../assets/x.png">)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FixChmAssetPaths(c.input), c.expected) << c.input;
}

TEST(ChmPage, StripWhiteBackgroundsChangesOnlyBackgroundColor) {
    const Case cases[] = {
        {"background-color: rgb(255, 255, 255)", "background-color: transparent"},
        {"background-color:rgb(255, 255, 255)", "background-color: transparent"},
        {"x;background-color:#FFFFFF;y", "x;background-color: transparent;y"},
        {"background-color: #ffffff", "background-color: transparent"},
        {"BACKGROUND-COLOR:#FFF", "background-color: transparent"},
        {"background-color: #fff;", "background-color: transparent;"},
        {"background-color:White", "background-color: transparent"},
        {"background-color: white", "background-color: transparent"},
        // The shorthand forms stay for the viewer.
        {"background:white;", "background:white;"},
        {"background: rgb(255, 255, 255)", "background: rgb(255, 255, 255)"},
        {"background:#fff", "background:#fff"},
        {"background-color:#fefefe", "background-color:#fefefe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripWhiteBackgrounds(c.input), c.expected) << c.input;
}

TEST(ChmPage, ColorFirstTableRowColoursOnlyTheFirstRowOfTheFirstTable) {
    const std::string cell = R"( bgcolor="#ABCDEF" style="background-color: #ABCDEF;">)";
    struct RowCase {
        const char* name;
        std::string input;
        std::string expected;
    };
    const RowCase cases[] = {
        {"no table", "<p>no table</p>", "<p>no table</p>"},
        {"two tables, td and th",
         "<table><tr><td>a</td><th class=\"h\">b</th></tr><tr><td>c</td></tr></table>"
         "<table><tr><td>d</td></tr></table>",
         "<table><tr><td" + cell + "a</td><th class=\"h\"" + cell +
             "b</th></tr><tr><td>c</td></tr></table><table><tr><td>d</td></tr></table>"},
        {"capitals, a line break and a style attribute already there",
         "<TABLE><TR valign=top>\n<TD style=\"x\">a</TD></TR></TABLE>",
         "<TABLE><TR valign=top>\n<TD style=\"x\"" + cell + "a</TD></TR></TABLE>"},
        {"track and thead are neither rows nor cells",
         "<track><table><thead><tr><th>h</th></tr></thead></table>",
         "<track><table><thead><tr><th" + cell + "h</th></tr></thead></table>"},
        {"a row never closed", "<table><tr><td>open", "<table><tr><td>open"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorFirstTableRow(c.input, "#ABCDEF"), c.expected) << c.name;
}

TEST(ChmPage, StripInvisibleCharactersRemovesTheSixFormatCharacters) {
    EXPECT_EQ(StripInvisibleCharacters("a\xEF\xBB\xBF"
                                       "b\xE2\x80\x8B"
                                       "c\xE2\x80\x8C"
                                       "d\xE2\x80\x8D"
                                       "e\xE2\x81\xA0"
                                       "f\xC2\xAD"
                                       "g"),
              "abcdefg");
    // Neighbours of those code points stay.
    EXPECT_EQ(StripInvisibleCharacters("\xE2\x80\x8E\xC2\xA0"), "\xE2\x80\x8E\xC2\xA0");
}

TEST(ChmPage, BuildChmPageIsTheFixedTemplate) {
    EXPECT_EQ(BuildChmPage("BODY", "HEAD", "#111111", "#222222", "FOOT", "TITLE", "windows-1251"),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
              "charset=windows-1251\"><title>TITLE</title><link rel=\"stylesheet\" "
              "href=\"../style.css\"><style>"
              "body{margin:0;background:#222222;}.qz-header{padding:12px 16px;background:#111111;}"
              ".qz-body{padding:16px;}.qz-body p{margin:0;}.qz-footer{padding:10px 16px;font-size:"
              "12px;color:#666;border-top:1px solid #d0d0d0;}</style></head><body><div "
              "class=\"qz-header\">HEAD</div><div class=\"qz-body\">BODY</div>FOOT</body></html>");
}

TEST(ChmPage, FooterEscapesFourCharactersAndNeedsText) {
    TProjectSettings s;
    s.CopyrightEnabled = true;
    s.CopyrightText = "A & B's <\"x\">";
    EXPECT_EQ(BuildChmFooter(s),
              "<div class=\"qz-footer\">A &amp; B's &lt;&quot;x&quot;&gt;</div>");
    s.CopyrightText = "  \t";
    EXPECT_EQ(BuildChmFooter(s), "");
    s.CopyrightText = "x";
    s.CopyrightEnabled = false;
    EXPECT_EQ(BuildChmFooter(s), "");
}

TEST(ChmPage, LoadTopicHeaderFallsBackStepByStep) {
    const std::string id = "0123456789ABCDEF0123456789ABCDEF";
    struct HeaderCase {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files; // meta/ file, text
        std::string html;
        std::string background;
    };
    const std::string titleHeader = "<div style=\"font-size:14px;\"><b>A &amp; B's</b></div>";
    const HeaderCase cases[] = {
        {"no files", {}, titleHeader, "#fafafa"},
        {"defaults",
         {{"header_default.html", "<i>D</i>"}, {"headerbg_default.txt", " #123456\r\n"}},
         "<i>D</i>",
         "#123456"},
        {"topic files win",
         {{"header_default.html", "<i>D</i>"},
          {"headerbg_default.txt", "#123456"},
          {"header_" + id + ".html", "<i>T</i>"},
          {"headerbg_" + id + ".txt", "#654321"}},
         "<i>T</i>",
         "#654321"},
        {"blank topic files give the title and the fixed background",
         {{"header_default.html", "<i>D</i>"},
          {"headerbg_default.txt", "#123456"},
          {"header_" + id + ".html", " \n"},
          {"headerbg_" + id + ".txt", "  "}},
         titleHeader,
         "#fafafa"},
        {"blank default background", {{"headerbg_default.txt", "\n"}}, titleHeader, "#fafafa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TChmFixture f;
        f.Project.Title = "A & B's";
        for (const auto& [file, text] : c.files)
            WriteFile(f.Dir / ("proj/meta/" + file), text);
        const TChmHeader h = LoadTopicHeader(f.Project, id);
        EXPECT_EQ(h.Html, c.html);
        EXPECT_EQ(h.Background, c.background);
    }
}
