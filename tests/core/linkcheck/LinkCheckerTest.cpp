#include "linkcheck/LinkChecker.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "model/Storage.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

const std::string kSource = QUILLMATE_SOURCE_DIR;

void LoadProject(const std::string& projectFile, TDocProject& project) {
    LoadProjectModel(IncludeTrailingPathDelimiter(ReadProjectFile(projectFile).Folder), project);
}

std::vector<std::string> IssueTexts(const std::vector<TLinkIssue>& issues) {
    std::vector<std::string> texts;
    for (const auto& i : issues)
        texts.push_back(i.TopicTitle + " | " + i.Issue);
    return texts;
}

} // namespace

TEST(CheckLinks, SampleProjectHasNoIssues) {
    TDocProject project;
    LoadProject(kSource + "/examples/sample/Sample.hff", project);
    ASSERT_GT(project.Topics.Count(), 0u);
    EXPECT_TRUE(CheckLinks(project).empty());
}

TEST(CheckLinks, FixtureWithThreeFaultsReportsExactlyThose) {
    TDocProject project;
    LoadProject(kSource + "/tests/core/linkcheck/data/BrokenLinks.hff", project);
    const std::vector<TLinkIssue> issues = CheckLinks(project);
    const std::string lost = project.TopicHtmlPath("C0000000000000000000000000000003");
    EXPECT_EQ(IssueTexts(issues),
              (std::vector<std::string>{
                  "Overview | Broken internal link: doc:DEADBEEFDEADBEEFDEADBEEFDEADBEEF",
                  "Photos | Missing local reference: assets/images/missing.png",
                  "Lost page | Missing HTML file: " + lost}));
    ASSERT_EQ(issues.size(), 3u);
    EXPECT_EQ(issues[0].TopicID, "A0000000000000000000000000000001");
    EXPECT_EQ(issues[2].TopicID, "C0000000000000000000000000000003");
}

class CheckLinksTopicTest : public ::testing::Test {
protected:
    CheckLinksTopicTest() { project.RootPath = dir / ""; }
    // A topic whose page holds `html`.
    TTopic& Topic(const std::string& title, const std::string& html) {
        TTopic& t = project.AddTopic(title, "");
        WriteFile(project.TopicHtmlPath(t.ID), html);
        return t;
    }
    TTempDir dir;
    TDocProject project;
};

TEST_F(CheckLinksTopicTest, LocalReferences) {
    WriteFile(dir / "assets/images/a_1.png", "x");
    WriteFile(dir / "assets/css/site.css", "x");
    Topic("Refs", "<img src=\"assets/images/a_1.png\"><img SRC = \"assets\\images\\a_1.png\">"
                  "<a href=\"HTTPS://x\">x</a><a href=\"mailto:a@b\">m</a><a href=\"#top\">t</a>"
                  "<img src=\"data:image/png;base64,iVBORw0KGgo=\">"
                  "<img src='assets/images/single-quoted-is-never-looked-at.png'>"
                  "<link href=\"./assets/css/../css/site.css\">"
                  "<img src=\"assets/images/gone.png\"><a href=\"assets/images\">folder</a>"
                  "<a href=\"page.html#top\">p</a><img src=\"file:///C:/pics/a.png\">"
                  "<a href=\"page.html?x=1\">q</a><img src=\"assets/images/after.png\">");
    EXPECT_EQ(
        IssueTexts(CheckLinks(project)),
        (std::vector<std::string>{"Refs | Missing local reference: assets/images/gone.png",
                                  "Refs | Missing local reference: assets/images",
                                  "Refs | Missing local reference: page.html#top",
                                  "Refs | Missing local reference: file:///C:/pics/a.png",
                                  "Refs | Invalid local reference: page.html?x=1",
                                  "Refs | Missing local reference: assets/images/after.png"}));
}

TEST_F(CheckLinksTopicTest, TopicLinks) {
    const TTopic& target = Topic("Target", "<p>plain</p>");
    const std::string unknown = "0123456789ABCDEF0123456789ABCDEF";
    Topic("Links", "<a href=\"doc:" + target.ID + "\">ok</a><a href='doc:" + unknown +
                       "'>1</a><a HREF = \"DOC:" + unknown +
                       "\">2</a><a href=\"doc:" + AsciiLower(target.ID) +
                       "\">case</a><a href=\"doc:" + unknown.substr(1) + "\">31 digits</a>");
    EXPECT_EQ(
        IssueTexts(CheckLinks(project)),
        (std::vector<std::string>{"Links | Broken internal link: doc:" + unknown,
                                  "Links | Broken internal link: doc:" + unknown,
                                  "Links | Broken internal link: doc:" + AsciiLower(target.ID)}));
}

TEST_F(CheckLinksTopicTest, UnreadableOrMissingPagesDoNotStopTheCheck) {
    const TTopic& bad = Topic("Bad bytes", "<p>\xFF\xFE</p>");
    TTopic& gone = project.AddTopic("Gone", "");
    Topic("Last", "<img src=\"nowhere.png\">");
    EXPECT_EQ(IssueTexts(CheckLinks(project)),
              (std::vector<std::string>{
                  "Bad bytes | Unreadable HTML file: " + project.TopicHtmlPath(bad.ID),
                  "Gone | Missing HTML file: " + project.TopicHtmlPath(gone.ID),
                  "Last | Missing local reference: nowhere.png"}));
}

TEST(LinkIssuesReport, OneLinePerIssueEachEndedByCrLf) {
    const std::vector<TLinkIssue> issues = {
        {"A", "Intro", "Missing local reference: a.png"},
        {"A", "Intro", "Broken internal link: doc:0123456789ABCDEF0123456789ABCDEF"},
    };
    EXPECT_EQ(LinkIssuesReport(issues),
              "Intro: Missing local reference: a.png\r\n"
              "Intro: Broken internal link: doc:0123456789ABCDEF0123456789ABCDEF\r\n");
    EXPECT_EQ(LinkIssuesReport({}), "");
}
