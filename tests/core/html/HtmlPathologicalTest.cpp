// Inputs shaped to make a backtracking matcher slow. Each finishes far
// within a second; the CTest timeout of this executable only catches a hang.
#include "base/Regex.h"
#include "base/StringUtil.h"
#include "html/HtmlUtils.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;

namespace {

std::string Repeat(std::string_view piece, size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        s += piece;
    return s;
}

TEST(HtmlPathological, MegabyteOfUnclosedScriptTags) {
    // Every "<script>" would otherwise look for its "</script>" to the end of the page.
    const std::string flood = Repeat("<script>x ", 100'000);
    const std::string text = TrimCtl(Repeat("x ", 100'000));
    EXPECT_EQ(HtmlToPlainText(flood), text);
    EXPECT_EQ(HtmlToPlainText("<style>s</style><script>j</script>" + flood), text);
}

TEST(HtmlPathological, MegabyteOfUnclosedTags) {
    // Each "<" would otherwise look for its ">" to the end of the page.
    const std::string page = Repeat("<a b", 256 * 1024);
    EXPECT_EQ(HtmlToPlainText(page), page);
}

TEST(HtmlPathological, TenThousandNestedTags) {
    const std::string id = "0123456789ABCDEF0123456789ABCDEF";
    const std::string open = Repeat("<div><span>", 10'000);
    const std::string close = Repeat("</span></div>", 10'000);
    const std::string page = open + "<a href=\"doc:" + id + "\">deep</a>" + close;
    EXPECT_EQ(HtmlToPlainText(page), "deep");
    EXPECT_EQ(CollectDocLinkIds(page), std::vector<std::string>{id});
    EXPECT_EQ(RewriteDocLinks(page, [](const std::string& target) { return target + ".html"; }),
              open + "<a href=\"" + id + ".html\">deep</a>" + close);
}

TEST(HtmlPathological, FiftyMegabytesOfTopicLinkBeginnings) {
    // Each piece starts what a topic link starts with and none completes one.
    const auto rule = [](const std::string& target) { return target + ".html"; };
    for (const std::string_view piece : {"doc:", "href=\"doc:", "HREF = 'doc:0123"}) {
        SCOPED_TRACE(piece);
        const std::string page = Repeat(piece, 50'000'000 / piece.size());
        EXPECT_TRUE(RewriteDocLinks(page, rule) == page);
        EXPECT_TRUE(CollectDocLinkIds(page).empty());
    }
}

TEST(HtmlPathological, CatastrophicBacktrackingStopsAtTheMatchLimit) {
    // Nested repeats that fail at the end try every way of splitting the
    // run: 2^40 steps without a limit.
    const TRegex re(R"((a+)+$)");
    EXPECT_THROW((void)re.Search(std::string(40, 'a') + "b"), ERegexError);
}

} // namespace
