#include "publish/webhelp/WebHelpExport.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "publish/common/OutputFolder.h"
#include "publish/webhelp/WebHelpData.h"
#include "publish/webhelp/WebHelpPage.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

const std::string kIdA = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
const std::string kIdB = "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB";
const std::string kIdC = "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC";
const std::string kIdD = "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDD";

// The page template around a body, header and footer, written out piece by
// piece as published pages must carry it; the escaped title and the viewer's
// page script come last in the head.
std::string ExpectedPage(const std::string& body, const std::string& header,
                         const std::string& headerBg, const std::string& footer,
                         const std::string& escapedTitle) {
    return "<!doctype html><html><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
           "content=\"width=device-width, initial-scale=1\"><link rel=\"stylesheet\" "
           "href=\"../style.css\"><style>body{margin:0;font-family:Segoe UI,Arial;background:"
           "#FFFFFF;}.qz-page-body p{margin:0;}.qz-page-body h1,.qz-page-body h2,.qz-page-body "
           "h3,.qz-page-body h4,.qz-page-body h5,.qz-page-body h6{margin:0;}.qz-page-body "
           "ul,.qz-page-body ol{margin:0;padding-left:1.5em;}.qz-page-body "
           "li{margin:0;}table{border-collapse:collapse;max-width:100%;}td,th{border:1px solid "
           "#999;padding:4px;vertical-align:top;}</style><title>" +
           escapedTitle +
           "</title><script src=\"../page.js\" defer></script></head><body><div "
           "class=\"qz-page-header\" style=\"background:" +
           headerBg + ";padding:12px 16px;\">" + header +
           "</div><div class=\"qz-page-body\" style=\"padding:16px;\">" + body + "</div>" + footer +
           "</body></html>";
}

struct WebHelpFixture : ::testing::Test {
    TTempDir dir;
    TDocProject p;
    std::string out;
    TPublishOptions options;

    WebHelpFixture() {
        p.RootPath = dir / "proj/";
        p.Title = "Guide";
        out = dir / "out";
        options.OutDir = out;
        options.ProgramDataDir = dir / "program";
        WriteTemplate("app.html", "<title>WebHelp</title>");
        WriteTemplate("app.js", "js");
        WriteTemplate("app.css", "css");
        WriteTemplate("page.js", "page");
        // A (root, keywords) > B (published child), C (root, excluded) > D (published)
        Add(kIdA, "A/B\xC3\xA9", "", {kIdB, "0123456789ABCDEF0123456789ABCDEF"}, {"alpha", "beta"});
        Add(kIdB, "A<B", kIdA, {}, {});
        Add(kIdC, "Hidden", "", {kIdD}, {}).ExcludeWeb = true;
        Add(kIdD, "Orphan", kIdC, {}, {});
        p.RootTopicIDs = {kIdA, kIdC};
    }

    void WriteTemplate(const std::string& name, const std::string& text) const {
        WriteFile(dir / "program/AppFiles/webhelp/" + name, text);
    }

    TTopic& Add(const std::string& id, const std::string& title, const std::string& parent,
                std::vector<std::string> children, std::vector<std::string> keywords) {
        auto t = std::make_unique<TTopic>();
        t->ID = id;
        t->Title = title;
        t->ParentID = parent;
        t->Children = std::move(children);
        t->Keywords = std::move(keywords);
        return p.Topics.Add(std::move(t));
    }
};

} // namespace

TEST_F(WebHelpFixture, ContentsAndSearchDataAreExact) {
    WriteFile(p.TopicHtmlPath(kIdA),
              "<p>Hello <b>world</b> see <a href=\"doc:" + kIdB + "\">B</a></p>");
    WriteFile(p.TopicHtmlPath(kIdD), "<p>Deep</p>");
    (void)PublishWebHelp(p, options);

    const std::string toc =
        R"({"roots":[{"id":")" + kIdA + R"(","title":"A\/B\u00E9","file":"topics\/)" + kIdA +
        R"(.html","children":[{"id":")" + kIdB + R"(","title":"A<B","file":"topics\/)" + kIdB +
        R"(.html","children":[]}]}]})";
    EXPECT_EQ(ReadFile(out + "/toc.json"), toc);
    EXPECT_EQ(ReadFile(out + "/toc.js"), "window.__QZ_TOC = " + toc + ";");
    // The viewer's flat copy of the same tree: id, title, depth.
    EXPECT_EQ(ReadFile(out + "/search/contents.js"), R"(window.__qzSearch("contents",0,[")" + kIdA +
                                                         R"(","A\/B\u00E9",0,")" + kIdB +
                                                         R"(","A<B",1]);)");

    const std::string search = ReadFile(out + "/search.json");
    EXPECT_EQ(ReadFile(out + "/search.js"), "window.__QZ_SEARCH = " + search + ";");
    // Dictionary order, excluded topic absent, its published child present,
    // a topic without a file has empty text.
    const std::string expectedStart = R"({"topics":[{"id":")" + kIdA +
                                      R"(","title":"A\/B\u00E9","file":"topics\/)" + kIdA +
                                      R"(.html","text":")";
    EXPECT_EQ(search.rfind(expectedStart, 0), 0u) << search;
    EXPECT_NE(search.find(R"(","keywords":"alpha beta"},{"id":")" + kIdB +
                          R"(","title":"A<B","file":"topics\/)" + kIdB +
                          R"(.html","text":"","keywords":""},{"id":")" + kIdD),
              std::string::npos)
        << search;
    EXPECT_EQ(search.find(kIdC), std::string::npos);
}

TEST_F(WebHelpFixture, PagesAreExact) {
    WriteFile(p.TopicHtmlPath(kIdA),
              "<p style=\"background-color:#FFF\"><img src=\"assets/images/a_1.png\"> "
              "<img SRC=\"assets/images/a_1.png\"> <a href=\"doc:" +
                  kIdC + "\">C</a> <a href=\"doc:" + kIdB + "\">B</a></p>");
    WriteFile(p.TopicHtmlPath(kIdB), "  \r\n ");
    WriteFile(p.RootPath + "meta/header_default.html", "<i>Default</i>");
    WriteFile(p.RootPath + "meta/headerbg_default.txt", " #112233 ");
    WriteFile(p.RootPath + "meta/header_" + kIdB + ".html", "  ");
    WriteFile(p.RootPath + "meta/headerbg_" + kIdB + ".txt", " ");
    TProjectSettings s;
    s.CopyrightEnabled = true;
    s.CopyrightText = "A & B";
    s.SaveToFile(TProjectSettings::DefaultSettingsPathForProject(p.RootPath));

    (void)PublishWebHelp(p, options);
    const std::string footer =
        "<div class=\"qz-page-footer\" style=\"padding:10px 16px;border-top:1px solid "
        "#d0d0d0;font-size:12px;opacity:0.85;\">A &amp; B</div>";
    EXPECT_EQ(ReadFile(out + "/topics/" + kIdA + ".html"),
              ExpectedPage("<p style=\"background-color: transparent\"><img "
                           "src=\"../assets/images/a_1.png\"> <img SRC=\"assets/images/a_1.png\"> "
                           "<a href=\"#\">C</a> <a href=\"" +
                               kIdB + ".html\">B</a></p>",
                           "<i>Default</i>", "#112233", footer, "A/B\xC3\xA9"));
    // Blank page: the title as a heading; blank own header: the project title.
    EXPECT_EQ(ReadFile(out + "/topics/" + kIdB + ".html"),
              ExpectedPage("<h1>A&lt;B</h1>", "<div style=\"font-size:14px;\"><b>Guide</b></div>",
                           "#fafafa", footer, "A&lt;B"));
    EXPECT_FALSE(FileExists(out + "/topics/" + kIdC + ".html"));
    EXPECT_TRUE(FileExists(out + "/topics/" + kIdD + ".html"));
}

TEST_F(WebHelpFixture, StyleSheetAssetsAndStalePages) {
    WriteFile(p.RootPath + "assets/images/x.png", "PNG");
    std::filesystem::create_directories(p.RootPath + "assets/empty");
    // An earlier export's folder: its mark, and the pages it wrote.
    WriteFile(out + "/" + kOutputMarkerFile, "webhelp\n");
    WriteFile(out + "/topics/" + kIdC + ".html", "from an earlier export");
    WriteFile(out + "/topics/OLD.html", "deleted topic");
    WriteFile(out + "/topics/notes.txt", "not a page");

    const TPublishResult r = PublishWebHelp(p, options);
    EXPECT_EQ(r.StalePagesRemoved, 2u);
    EXPECT_FALSE(FileExists(out + "/topics/" + kIdC + ".html"));
    EXPECT_FALSE(FileExists(out + "/topics/OLD.html"));
    EXPECT_TRUE(FileExists(out + "/topics/notes.txt"));
    EXPECT_EQ(ReadFile(out + "/assets/images/x.png"), "PNG");
    EXPECT_TRUE(DirectoryExists(out + "/assets/empty"));
    EXPECT_EQ(ReadFile(out + "/style.css")
                  .rfind("body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}", 0),
              0u);

    WriteFile(p.RootPath + "styles/default.css", "/*profile*/");
    (void)PublishWebHelp(p, options);
    EXPECT_EQ(ReadFile(out + "/style.css").rfind("/*profile*/", 0), 0u);
}

TEST_F(WebHelpFixture, OutputDoesNotDependOnThreadCount) {
    for (int i = 0; i < 40; ++i) {
        TTopic& t = p.AddTopic("T" + std::to_string(i), kIdA);
        WriteFile(p.TopicHtmlPath(t.ID), "<p>page " + std::to_string(i) + "</p>");
    }
    options.OutDir = dir / "seq";
    options.Threads = 1;
    (void)PublishWebHelp(p, options);
    options.OutDir = dir / "par";
    options.Threads = 4;
    (void)PublishWebHelp(p, options);
    for (const char* f : {"search.json", "toc.json", "style.css"})
        EXPECT_EQ(ReadFile(dir / "seq/" + f), ReadFile(dir / "par/" + f)) << f;
    for (const TTopic& t : p.Topics) {
        if (!t.ExcludeWeb) {
            EXPECT_EQ(ReadFile(dir / "seq/topics/" + t.ID + ".html"),
                      ReadFile(dir / "par/topics/" + t.ID + ".html"));
        }
    }
}

TEST_F(WebHelpFixture, TheViewerIsCopiedFilledAndTitled) {
    WriteTemplate("app.html", "<head><title>WebHelp</title></head><title>WebHelp</title>");
    WriteTemplate("app.css", "a{color:__QZ_TOC_COLOR__;font-size:__QZ_TOC_SIZE__px;"
                             "background:__QZ_LEFT_BG__}");
    TProjectSettings s;
    s.TocTextSize = 13;
    s.TocTextColor = 0x332211;
    s.SaveToFile(TProjectSettings::DefaultSettingsPathForProject(p.RootPath));
    p.Title = "R&D's \"Guide\"";

    const TPublishResult r = PublishWebHelp(p, options);
    EXPECT_EQ(r.OutputFile, out + "/index.html");
    EXPECT_EQ(r.OutDir, out);
    EXPECT_EQ(ReadFile(r.OutputFile), "<head><title>R&amp;D&#39;s &quot;Guide&quot;</title></head>"
                                      "<title>WebHelp</title>");
    EXPECT_EQ(ReadFile(out + "/app.css"), "a{color:#112233;font-size:13px;background:#FFFFFF}");
    EXPECT_EQ(ReadFile(out + "/app.js"), "js");

    // A template without the exact title keeps its own.
    WriteTemplate("app.html", "<title>Mine</title>");
    EXPECT_EQ(ReadFile(PublishWebHelp(p, options).OutputFile), "<title>Mine</title>");
}

TEST_F(WebHelpFixture, WithoutTheViewerNothingIsWritten) {
    struct Case {
        const char* name;
        std::function<void()> breakIt;
    };
    const Case cases[] = {
        {"no program folder given", [this] { options.ProgramDataDir.clear(); }},
        {"a template missing",
         [this] {
             options.ProgramDataDir = dir / "program";
             std::filesystem::remove(dir / "program/AppFiles/webhelp/app.js");
         }},
        {"the page script missing",
         [this] {
             WriteTemplate("app.js", "js");
             std::filesystem::remove(dir / "program/AppFiles/webhelp/page.js");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakIt();
        EXPECT_THROW((void)PublishWebHelp(p, options), EFileError);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(WebHelpPage, SmallRules) {
    EXPECT_EQ(JoinKeywords({}), "");
    EXPECT_EQ(JoinKeywords({"a", " b"}), "a  b");
    EXPECT_EQ(StripWhiteBackgrounds("x{BACKGROUND:White;background-color: rgb(255, 255, 255)}"),
              "x{background: transparent;background-color: transparent}");
    // The longer colour wins over its prefix; other backgrounds stay.
    EXPECT_EQ(StripWhiteBackgrounds("a{background-color:#FFFFFF}b{background:#fff}"
                                    "c{background-color:#ffe}d{background:url(x)}"),
              "a{background-color: transparent}b{background: transparent}"
              "c{background-color:#ffe}d{background:url(x)}");
    EXPECT_EQ(FixWebHelpAssetPaths("<a href=\"assets/f.pdf\"><img src='assets/x.png'>"),
              "<a href=\"../assets/f.pdf\"><img src='assets/x.png'>");
}

// One pass gives what replacing src="assets/ and then href="assets/ gave.
TEST(WebHelpPage, AssetPathsAsTwoReplacements) {
    const std::string_view pieces[] = {"src", "href", "=\"assets/", "=\"", "assets/", "s",
                                       "h",   "=",    "\"",         "x",   "ssrc",    " "};
    std::mt19937 rng(42);
    std::uniform_int_distribution<size_t> count(0, 24);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string html;
        for (size_t n = count(rng); n > 0; --n)
            html += pieces[pick(rng)];
        const std::string twoPasses =
            ReplaceAll(ReplaceAll(html, "src=\"assets/", "src=\"../assets/"), "href=\"assets/",
                       "href=\"../assets/");
        ASSERT_EQ(FixWebHelpAssetPaths(html), twoPasses) << html;
    }
}
