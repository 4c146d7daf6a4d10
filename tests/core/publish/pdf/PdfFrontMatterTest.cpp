// The title page and contents of the printed manual, and its publish date.
#include "publish/pdf/PdfFrontMatter.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

#include <regex>

using namespace qm::pdf;
using namespace qm::test;

TEST(PdfFrontMatter, PublishDateFollowsSourceDateEpoch) {
    struct Case {
        const char* epoch;
        const char* date; // nullptr: today's date
    };
    const Case cases[] = {
        {"0", "1970-01-01"},
        {"1700000000", "2023-11-14"},
        {"1767225599", "2025-12-31"},
        {"", nullptr},
        {"soon", nullptr},
        {"12x", nullptr},
        {"-5", nullptr},
        {nullptr, nullptr},
    };
    static const std::regex isoDate(R"(\d{4}-\d{2}-\d{2})");
    for (const Case& c : cases) {
        const TScopedEnv env("SOURCE_DATE_EPOCH", c.epoch);
        const std::string date = PdfPublishDate();
        if (c.date != nullptr)
            EXPECT_EQ(date, c.date) << c.epoch;
        else
            EXPECT_TRUE(std::regex_match(date, isoDate)) << (c.epoch ? c.epoch : "unset") << date;
    }
}

TEST(PdfFrontMatter, ContentsLinesLinkEverySectionWithItsPage) {
    const std::vector<TPdfContentsEntry> entries = {
        {"A1", 0, "Start & go"}, {"B2", 1, "Child"}, {"C3", 7, "Deep"}};
    const std::vector<std::string> lines = PdfContentsLines(entries, {3, 12});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "<div class=\"qm-contents-title\">Contents</div>");
    EXPECT_EQ(lines[2],
              "<a class=\"qm-toc-0\" href=\"#A1\"><span class=\"qm-toc-text\">Start &amp; "
              "go</span><span class=\"qm-toc-dots\"></span><span "
              "class=\"qm-toc-page\">3</span></a>");
    EXPECT_NE(lines[3].find("class=\"qm-toc-1\" href=\"#B2\""), std::string::npos) << lines[3];
    EXPECT_NE(lines[3].find(">12</span>"), std::string::npos) << lines[3];
    // Deeper than the indents go, and without a number, the line keeps its place.
    EXPECT_NE(lines[4].find("class=\"qm-toc-5\""), std::string::npos) << lines[4];
    EXPECT_NE(lines[4].find("<span class=\"qm-toc-page\">&#160;</span>"), std::string::npos)
        << lines[4];
    // A manual without sections has no contents page.
    EXPECT_TRUE(PdfContentsLines({}, {}).empty());
}
