// Find in project: titles and text of every topic, unsaved texts first,
// and texts read once and kept until their page or text changes.
#include "WorkspaceFixture.h"

#include "base/PathUtils.h"
#include "workspace/ProjectSearch.h"

#include <filesystem>

using namespace qm;
using namespace qm::test;

namespace {

struct ProjectSearch : TWorkspaceFixture {
    TProjectSearch search;
    std::string welcome, child;

    ProjectSearch() {
        Start();
        welcome = Project().RootTopicIDs.front();
        child = Project().AddTopic("Install the Gadget", welcome).ID;
        WriteFile(Project().TopicHtmlPath(child),
                  "<p>First <b>unpack</b> the box.</p><p>\xC3\x89tape deux: plug it in.</p>");
    }
    std::vector<TProjectSearchHit> Find(const std::string& query) {
        return search.Search(Project(), session.UnsavedTopicTexts(), query);
    }
};

} // namespace

TEST(FoldCaseForSearch, LowersLettersKeepingTheirLength) {
    const std::pair<const char*, const char*> cases[] = {
        {"ABC xyz 123", "abc xyz 123"},
        {"\xC3\x89T\xC3\x89 \xC3\x96L", "\xC3\xA9t\xC3\xA9 \xC3\xB6l"},           // ÉTÉ ÖL
        {"\xC4\x84\xC4\x86\xC5\x81\xC5\xBB", "\xC4\x85\xC4\x87\xC5\x82\xC5\xBC"}, // ĄĆŁŻ
        {"\xCE\x91\xCE\x92\xCE\xA9", "\xCE\xB1\xCE\xB2\xCF\x89"},                 // ΑΒΩ
        {"\xD0\x9F\xD0\xAF\xD0\x81", "\xD0\xBF\xD1\x8F\xD1\x91"},                 // ПЯЁ
        {"\xC3\x97 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\xC3\x97 \xE2\x82\xAC \xF0\x9F\x98\x80"}, // × € 😀
        {"\xC3", "\xC3"},                           // a cut sequence stays as it is
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(FoldCaseForSearch(in), out) << in;
}

TEST_F(ProjectSearch, FindsTitlesAndTextWithTheirPlaceInTheContents) {
    auto hits = Find("GADGET");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].TopicID, child);
    EXPECT_EQ(hits[0].ContentsPath, "Welcome > Install the Gadget");
    EXPECT_EQ(hits[0].TextOffset, std::string::npos) << "a title-only hit";

    hits = Find("unpack");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Snippet.substr(hits[0].SnippetMatchStart, hits[0].SnippetMatchLength),
              "unpack");
    hits = Find("\xC3\xA9TAPE"); // éTAPE finds Étape
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].Snippet.substr(hits[0].SnippetMatchStart, hits[0].SnippetMatchLength),
              "\xC3\x89tape");
    EXPECT_TRUE(Find("nowhere to be found").empty());
    EXPECT_TRUE(Find("").empty());
    EXPECT_TRUE(Find("box.\xC3\x89tape").empty()) << "paragraphs are not glued together";
}

TEST_F(ProjectSearch, FindsAWordInAnUnsavedTopicText) {
    page.Type("<p>zanzibar appears only in the editor</p>");
    page.Deliver();
    const auto hits = Find("Zanzibar");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].TopicID, welcome);
    EXPECT_EQ(ReadFile(Project().TopicHtmlPath(welcome)).find("zanzibar"), std::string::npos);
    // Left for another topic, the text is still the session's.
    Select(child);
    EXPECT_EQ(Find("zanzibar").size(), 1u);
}

TEST_F(ProjectSearch, ReadsEachPageOnceUntilItChanges) {
    (void)Find("x");
    EXPECT_EQ(search.LastReads(), 2u);
    (void)Find("y");
    EXPECT_EQ(search.LastReads(), 0u) << "the second search works from memory";

    WriteFile(Project().TopicHtmlPath(child), "<p>a rewritten page, longer than before</p>");
    EXPECT_EQ(Find("rewritten").size(), 1u);
    EXPECT_EQ(search.LastReads(), 1u);

    page.Type("<p>typed</p>");
    page.Deliver();
    EXPECT_EQ(Find("typed").size(), 1u);
    EXPECT_EQ(search.LastReads(), 1u);
    page.Type("<p>more</p>");
    page.Deliver();
    EXPECT_EQ(Find("more").size(), 1u) << "a changed unsaved text is read again";

    Project().DeleteTopic(child);
    EXPECT_TRUE(Find("rewritten").empty());
}
