// The editing session's rules against a fake page: what reaches a topic's
// file, and when.
#include "WorkspaceFixture.h"

#include "base/PathUtils.h"
#include "model/Storage.h"
#include "model/TopicHeaders.h"

#include <filesystem>
#include <vector>

#include <sys/stat.h>

using namespace qm;
using namespace qm::test;

namespace {

struct EditingSession : TWorkspaceFixture {
    std::string a, b;

    // Two topics whose pages hold markup the page renders differently.
    void StartWithTwoTopics() {
        Start();
        a = Project().AddTopic("Alpha", "").ID;
        b = Project().AddTopic("Beta", "").ID;
        WriteFile(Project().TopicHtmlPath(a), "<p title=&quot;x&quot;>A</p>\r\n<p>two</p>\r\n");
        WriteFile(Project().TopicHtmlPath(b), "<p>B</p>\r\n");
        workspace.SaveModel();
    }
};

} // namespace

TEST_F(EditingSession, LookingAtTopicsNeverRewritesThem) {
    StartWithTwoTopics();
    const std::string pageA = Page(a), pageB = Page(b);
    const auto timeA = std::filesystem::last_write_time(Project().TopicHtmlPath(a));
    Select(a);
    Select(b);
    Select(a);
    commands.CommitWorkingState();
    EXPECT_EQ(Page(a), pageA);
    EXPECT_EQ(Page(b), pageB);
    EXPECT_EQ(std::filesystem::last_write_time(Project().TopicHtmlPath(a)), timeA);
    EXPECT_FALSE(workspace.Dirty());
    // Nor their headers and the editor's style sheet, once written: another
    // round of looking replaces none of those files.
    const std::vector<std::string> kept = {
        HeaderFilesFor(Project(), a).HtmlFile, HeaderFilesFor(Project(), a).BackgroundFile,
        HeaderFilesFor(Project(), b).HtmlFile,
        Project().RootPath + "internal/editor/editor_effective.css"};
    // A rewrite is a new file renamed over the old one: a new inode.
    const auto inode = [](const std::string& f) {
        struct stat st {};
        return ::stat(f.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    std::vector<ino_t> inodes;
    for (const std::string& f : kept)
        inodes.push_back(inode(f));
    std::filesystem::remove(HeaderFilesFor(Project(), b).BackgroundFile);
    Select(b);
    Select(a);
    for (size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(inode(kept[i]), inodes[i]) << kept[i];
    EXPECT_TRUE(std::filesystem::exists(HeaderFilesFor(Project(), b).BackgroundFile))
        << "a missing header file is written again";

    // An edit is written, in the page's markup; the other page stays as it was.
    page.Type("<p>more</p>");
    commands.CommitWorkingState();
    EXPECT_EQ(Page(a), TFakePage::Render(pageA) + "<p>more</p>");
    EXPECT_EQ(Page(b), pageB);
    EXPECT_TRUE(workspace.Dirty());
}

TEST_F(EditingSession, UnsavedTextFollowsTheAuthorAcrossSwitchesAndReloads) {
    StartWithTwoTopics();
    Select(a);
    // Typed and switched away at once: the edit report reaches the program
    // ahead of the answer to "getHtml" and is kept as the author's.
    page.Type("<p>typed</p>");
    Select(b);
    EXPECT_TRUE(workspace.Dirty());
    EXPECT_EQ(Page(a).find("typed"), std::string::npos) << "written before any save";
    Select(a);
    EXPECT_NE(page.LastSetHtml().find("typed"), std::string::npos) << "shown from the cache";

    // The page's renderer restarts and the page reports "ready" again.
    page.Type("<p>after</p>");
    page.Deliver();
    session.HandleEditorReady();
    page.Deliver();
    EXPECT_NE(page.LastSetHtml().find("after"), std::string::npos);
    session.FlushPendingTopicFiles();
    EXPECT_NE(Page(a).find("typed"), std::string::npos);
}

TEST_F(EditingSession, APageThatNeverAnswersCostsTheWaitsAndNotTheText) {
    StartWithTwoTopics();
    Select(a);
    page.Type("<p>last report</p>");
    page.Deliver();
    page.Answers = false;
    const std::int64_t before = host.Clock;
    Select(b);
    // Both questions go out together: the wait is the longer time-out, once.
    EXPECT_EQ(host.Clock - before, 600);
    // An answer that comes after its wait gave up is not the new topic's text.
    page.Post([&] { session.HandleEditorHtmlChanged("<p>stale</p>", false, true); });
    page.Deliver();
    page.Answers = true;
    EXPECT_EQ(session.GetCurrentTopicHtml().find("stale"), std::string::npos);
    Select(a);
    EXPECT_NE(page.LastSetHtml().find("last report"), std::string::npos);
}

TEST_F(EditingSession, RenamingRenewsOnlyAHeaderTheAuthorNeverEdited) {
    StartWithTwoTopics();
    Select(b); // Beta gets its generated header file
    Select(a);
    const TProjectSettings& s = workspace.Settings();

    // The current topic: the header in the page follows the new title.
    Project().GetTopic(a).Title = "Alpha 2";
    session.TopicRenamed(a, "Alpha");
    page.Deliver();
    EXPECT_EQ(session.HeaderHtml(), DefaultHeaderHtml(s, "Alpha 2"));
    EXPECT_EQ(page.Header, DefaultHeaderHtml(s, "Alpha 2"));
    EXPECT_EQ(ReadFile(HeaderFilesFor(Project(), a).HtmlFile), DefaultHeaderHtml(s, "Alpha 2"));

    // Another topic's header file follows too, unless the author changed it.
    Project().GetTopic(b).Title = "Beta 2";
    session.TopicRenamed(b, "Beta");
    EXPECT_EQ(ReadFile(HeaderFilesFor(Project(), b).HtmlFile), DefaultHeaderHtml(s, "Beta 2"));
    const std::string edited = "<div><b>Beta 2</b> <a href=\"x.html\">see</a></div>";
    WriteFile(HeaderFilesFor(Project(), b).HtmlFile, edited);
    Project().GetTopic(b).Title = "Beta 3";
    session.TopicRenamed(b, "Beta 2");
    EXPECT_EQ(ReadFile(HeaderFilesFor(Project(), b).HtmlFile), edited);
}
