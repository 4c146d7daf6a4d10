// Word counts of topic HTML and of a whole project.
#include "WorkspaceFixture.h"

#include "TempDir.h"
#include "base/PathUtils.h"
#include "workspace/WordCount.h"

#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>

using namespace qm;
using namespace qm::test;

TEST(CountWords, CountsWhatAWriterCallsAWord) {
    const std::pair<const char*, size_t> cases[] = {
        {"", 0},
        {"   \n\t ", 0},
        {"one", 1},
        {"one two  three", 3},
        {"don't stop", 2},  // an apostrophe inside a word
        {"e-mail - it", 2}, // a hyphen inside, a dash alone
        {"Stra\xC3\x9F"
         "e \xC3\xA9t\xC3\xA9",
         2}, // non-ASCII letters
        {"a\xC2\xA0"
         "b",
         2},                         // no-break space
        {"end\xE2\x80\x94start", 2}, // em dash
        {"3.14 and 42", 4},          // "3" "14": digits on both sides of a point
        {"{var:Name} here", 3},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 1}, // a run without spaces is one word
    };
    for (const auto& [text, words] : cases)
        EXPECT_EQ(CountWords(text), words) << text;
    EXPECT_EQ(CountHtmlWords("<p>one <b>two</b></p><p>three&nbsp;four</p>"), 4u);
    EXPECT_EQ(CountHtmlWords("<p>bo<b>ld</b></p>"), 2u) << "the plain text splits at tags";
}

struct ProjectWordCount : TWorkspaceFixture {};

TEST_F(ProjectWordCount, CountsUnsavedTextsAndPages) {
    Start();
    const std::string welcome = Project().RootTopicIDs.front();
    const std::string second = Project().AddTopic("Second", "").ID;
    WriteFile(Project().TopicHtmlPath(second), "<p>five words are right here</p>");
    const std::string never = Project().AddTopic("Never shown", "").ID; // no page yet
    (void)never;
    page.Type("<p>typed two</p>");
    page.Deliver();
    const auto sources = ProjectWordSources(Project(), session.UnsavedTopicTexts());
    EXPECT_EQ(sources.size(), 3u);
    EXPECT_EQ(CountProjectWords(sources), 7u);
    // The snapshot is what is counted, whatever happens to the pages later.
    WriteFile(Project().TopicHtmlPath(second), "<p>\xFF not UTF-8</p>");
    EXPECT_EQ(CountProjectWords(sources), 2u) << "an unreadable page counts nothing";
    (void)welcome;
}

TEST(PageWordCache, ReadsAPageAgainOnlyWhenItChanged) {
    TTempDir dir;
    const std::string page = dir / "topics/a.html";
    TPageWordCache cache;
    EXPECT_EQ(cache.Count(page), 0u) << "no page yet";
    WriteFile(page, "<p>one two three</p>");
    EXPECT_EQ(cache.Count(page), 3u);

    // The same size, file and time: taken from the cache without reading.
    // (Rewritten in place and its time put back, which no editor does.)
    struct stat st {};
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    {
        std::FILE* f = std::fopen(page.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fputs("<p>one-two-three</p>", f);
        std::fclose(f);
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, page.c_str(), times, 0), 0);
    EXPECT_EQ(cache.Count(page), 3u);

    // Any real change is counted: a new file of the same size (the program
    // writes by rename), other contents, damage, removal.
    const std::pair<const char*, size_t> changes[] = {
        {"<p>one-two-three</p>", 1},
        {"<p>four five six seven</p>", 4},
        {"<p>\xFF not UTF-8</p>", 0},
    };
    for (const auto& [html, words] : changes) {
        WriteTextFileUtf8(page, html);
        EXPECT_EQ(cache.Count(page), words) << html;
    }
    WriteTextFileUtf8(page, "<p>back again</p>");
    EXPECT_EQ(cache.Count(page), 2u) << "readable again after the damage";
    std::filesystem::remove(page);
    EXPECT_EQ(cache.Count(page), 0u);
}

TEST_F(ProjectWordCount, TheCacheGivesTheSameTotals) {
    Start();
    const std::string second = Project().AddTopic("Second", "").ID;
    WriteFile(Project().TopicHtmlPath(second), "<p>five words are right here</p>");
    TPageWordCache cache;
    const auto sources = ProjectWordSources(Project(), {});
    EXPECT_EQ(CountProjectWords(sources, &cache), CountProjectWords(sources));
    WriteTextFileUtf8(Project().TopicHtmlPath(second), "<p>now three words</p>");
    EXPECT_EQ(CountProjectWords(sources, &cache), CountProjectWords(sources));
}
