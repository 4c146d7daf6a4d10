#include "content/TokenExpansion.h"

#include "TempDir.h"
#include "base/Error.h"
#include "content/ReusableContent.h"
#include "content/TokenExpansionSteps.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>
#include <vector>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

class TokenExpansionTest : public ::testing::Test {
protected:
    TokenExpansionTest() {
        FProject.RootPath = FDir.Path() + "/";
        TReusableProjectContent store;
        store.FVariables = {
            {"Product", "A&B"},     {"A&B", "amp-named"},          {"Version", "3.2"},
            {"Markup", "<b>x</b>"}, {"Tokenish", "{var:Version}"}, {"Empty", ""},
        };
        store.FSnippets = {
            {"Note", "<b>{var:Product}</b>"},
            {"ProBlock", "{begincond:Pro}pro{endcond}{begincond:Beta}beta{endcond}"},
            {"Decorated", "<span style=\"border:1px dashed #999\" title=\"tip\">d</span>"},
            {"Twice", "{snip:Note}+{snip:Note}"},
            {"Loop", "a{snip:Loop}b"},
            {"LoopCase", "x{snip:LOOPCASE}y"},
            {"Ping", "ping({snip:Pong})"},
            {"Pong", "pong({snip:Ping})"},
            {"Empty", ""},
        };
        store.FConditions = {
            {"Pro", true}, {"Beta", false}, {"A", true}, {"B", true}, {"x<y", true}};
        store.SaveToProject(FProject);
    }

    [[nodiscard]] std::string Expand(const std::string& html) const {
        return ExpandReusableContent(FProject, html);
    }

    TTempDir FDir;
    TDocProject FProject;
};

struct Case {
    const char* what;
    std::string html;
    std::string expected;
};

TEST_F(TokenExpansionTest, Variables) {
    const Case cases[] = {
        {"plain token", "Use {var:Product} now", "Use A&amp;B now"},
        {"spaces, keyword case", "Use { VAR : Product } now", "Use A&amp;B now"},
        {"name case", "{var:product}", "A&amp;B"},
        {"line breaks in token", "{var:\n\tProduct\r\n}", "A&amp;B"},
        {"entity in name", "{var:A&amp;B}", "amp-named"},
        {"numeric reference in name", "{var:&#80;roduct}", "A&amp;B"},
        {"unknown", "[{var:Missing}]", "[]"},
        {"empty value", "[{var:Empty}]", "[]"},
        {"markup in a value is text", "{var:Markup}", "&lt;b&gt;x&lt;/b&gt;"},
        {"a value is not expanded again", "{var:Tokenish}", "{var:Version}"},
        {"inside an attribute", "<img alt=\"{var:Product}\" src=\"a.png\">",
         "<img alt=\"{var:Product}\" src=\"a.png\">"},
        {"split by a tag", "{var:<b>Product</b>}", "{var:<b>Product</b>}"},
        {"closing brace in name", "{var:Pro}duct}", "duct}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.html), c.expected) << c.what;
}

TEST_F(TokenExpansionTest, Snippets) {
    const Case cases[] = {
        {"snippet with a variable", "<p>{snip:Note}</p>", "<p><b>A&amp;B</b></p>"},
        {"unknown and empty", "[{snip:Missing}{snip:Empty}]", "[]"},
        {"snippet holding conditional blocks", "{snip:ProBlock}", "pro"},
        {"decoration of the snippet stripped", "{snip:Decorated}", "<span>d</span>"},
        {"same snippet twice", "{snip:Twice}", "<b>A&amp;B</b>+<b>A&amp;B</b>"},
        {"includes itself", "{snip:Loop}", "ab"},
        {"includes itself, other case", "{snip:LoopCase}", "xy"},
        {"cycle through another", "{snip:Ping}|{snip:Pong}", "ping(pong())|pong(ping())"},
        {"in an attribute", "<a title=\"{snip:Note}\" href=\"x\">", "<a href=\"x\">"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.html), c.expected) << c.what;
}

TEST_F(TokenExpansionTest, AcyclicNestingExpandsDeeperThanThePasses) {
    // Deeper than the ten snippet passes of one page.
    constexpr int kDepth = 30;
    TReusableProjectContent store;
    std::string expected = "end";
    for (int i = kDepth - 1; i >= 0; --i) {
        const std::string next =
            i == kDepth - 1 ? std::string("end") : "{snip:S" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"S" + std::to_string(i), std::to_string(i) + "(" + next + ")"});
        expected = std::to_string(i) + "(" + expected + ")";
    }
    store.SaveToProject(FProject);
    EXPECT_EQ(Expand("{snip:S0}"), expected);
}

// S1 holds S2 ... holds S<depth>, which holds "end".
TReusableProjectContent Chain(size_t depth) {
    TReusableProjectContent store;
    for (size_t i = 1; i <= depth; ++i) {
        const std::string next = i == depth ? "end" : "{snip:S" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"S" + std::to_string(i), "(" + next + ")"});
    }
    return store;
}

TEST_F(TokenExpansionTest, NestingIsFollowedToTheDepthLimit) {
    constexpr size_t kLimit = TSnippetExpansion::kMaxDepth;
    const std::string open(kLimit, '('), close(kLimit, ')');
    Chain(kLimit).SaveToProject(FProject);
    EXPECT_EQ(Expand("<p>{snip:S1}</p>"), "<p>" + open + "end" + close + "</p>");
    // One level more: the innermost snippet is left out, as in a cycle.
    Chain(kLimit + 1).SaveToProject(FProject);
    EXPECT_EQ(Expand("<p>{snip:S1}</p>"), "<p>" + open + close + "</p>");
}

TEST_F(TokenExpansionTest, SnippetsUsedManyTimesWithinTheBudget) {
    // Ten levels, each using the next one twice: 1024 copies of the leaf.
    TReusableProjectContent store;
    for (int i = 1; i <= 10; ++i) {
        const std::string next = "{snip:L" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"L" + std::to_string(i), next + next});
    }
    store.FSnippets.push_back({"L11", "<i>{var:V}</i>"});
    store.FVariables = {{"V", "leaf"}};
    store.SaveToProject(FProject);
    std::string expected;
    for (int i = 0; i < 1024; ++i)
        expected += "<i>leaf</i>";
    EXPECT_EQ(Expand("{snip:L1}"), expected);
}

TEST(SnippetExpansion, BudgetGrowsWithThePageAndTheErrorNamesIt) {
    constexpr size_t kMiB = 1024 * 1024;
    struct BudgetCase {
        const char* what;
        size_t pageSize;
        const char* title;
        size_t fits;
        std::string message;
    };
    const BudgetCase cases[] = {
        {"small page", 100, "Intro", 16 * kMiB,
         "Reusable content expands too far in topic 'Intro': more than 16 MB (snippets nested "
         "in each other?)"},
        {"large page", kMiB, "Big", 64 * kMiB,
         "Reusable content expands too far in topic 'Big': more than 64 MB (snippets nested in "
         "each other?)"},
        {"no title", 0, "", 16 * kMiB,
         "Reusable content expands too far: more than 16 MB (snippets nested in each other?)"},
    };
    for (const BudgetCase& c : cases) {
        TSnippetExpansion expansion(c.pageSize, c.title);
        // The budget is used up in parts; the last byte still fits.
        EXPECT_NO_THROW(expansion.Charge(c.fits - 1)) << c.what;
        EXPECT_NO_THROW(expansion.Charge(1)) << c.what;
        try {
            expansion.Charge(1);
            ADD_FAILURE() << c.what << ": no error past the budget";
        } catch (const EQuillmateError& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
    }
    // A page so large that its multiple overflows gets the largest budget.
    TSnippetExpansion huge(std::numeric_limits<size_t>::max() / 2, "");
    EXPECT_NO_THROW(huge.Charge(std::numeric_limits<size_t>::max() / 4));
}

TEST_F(TokenExpansionTest, Conditions) {
    const Case cases[] = {
        {"marker paragraphs, on", "<p>{begincond:Pro}</p><p>Only Pro</p><p>{endcond}</p>",
         "<p>Only Pro</p>"},
        {"marker paragraphs, off", "<p>{begincond:Beta}</p><p>Only Beta</p><p>{endcond}</p>", ""},
        {"marker blocks with attributes and spaces",
         "<div class=\"c\">\n {begincond:Beta} </div><p>x</p><LI>{endcond}</LI>after", "after"},
        {"marker sharing its paragraph", "<p>{begincond:Pro}Only</p><p>{endcond}</p>",
         "<p>Only</p>"},
        {"closing tag of another element", "<p>{begincond:Beta}</div>x{endcond}", "<p>"},
        {"unknown condition is off", "a{begincond:Nope}x{endcond}b", "ab"},
        {"named end", "{begincond:Beta}x{endcond:beta}y{begincond:Pro}z{endcond: PRO }", "yz"},
        {"named end of another block", "{begincond:A}1{endcond:B}2{endcond:A}", "12"},
        {"plain ends pair lazily", "{begincond:Pro}a{begincond:Beta}b{endcond}c{endcond}", "a"},
        {"lone end markers", "a{endcond}b{ENDCOND : x}c", "abc"},
        {"lone begin marker", "a{begincond:Beta}b", "ab"},
        {"inside an attribute", "<span class=\"{begincond:Beta}x{endcond}\">t</span>",
         "<span class=\"\">t</span>"},
        {"entity in name", "{begincond:x&lt;y}k{endcond}", "k"},
        {"variables after conditions",
         "{begincond:Pro}{var:Version}{endcond}{begincond:Beta}{var:Product}{endcond}", "3.2"},
        {"body across lines and tags", "{begincond:Beta}<p>a\n</p>\r\n<p>b</p>{endcond}c", "c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.html), c.expected) << c.what;
}

TEST_F(TokenExpansionTest, DecorationIsStripped) {
    const Case cases[] = {
        {"dashed frame", "<span style=\"border: 1px dashed #999\" title=\"Variable\">x</span>",
         "<span>x</span>"},
        {"token background", "<span STYLE=\"Background: #EEF5FF; padding:2px\">x</span>",
         "<span>x</span>"},
        {"title on a link", "<a href=\"t.html\" title=\"Go\">a</a>", "<a href=\"t.html\">a</a>"},
        {"non-editable flag", "<span contenteditable=\"false\" style=\"color:red\">x</span>",
         "<span style=\"color:red\">x</span>"},
        {"other styles stay", "<p style=\"border:2px solid\">x</p>",
         "<p style=\"border:2px solid\">x</p>"},
        {"single quotes stay", "<a title='t' style='border:1px dashed'>x</a>",
         "<a title='t' style='border:1px dashed'>x</a>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.html), c.expected) << c.what;
}

TEST_F(TokenExpansionTest, NothingToDo) {
    EXPECT_EQ(Expand(""), "");
    TDocProject noFolder;
    EXPECT_EQ(ExpandReusableContent(noFolder, "{var:Product}"), "{var:Product}");

    // The file is not read for an empty page, so its damage goes unnoticed.
    WriteFile(ReusableContentPath(FProject), "[]");
    EXPECT_EQ(Expand(""), "");
    EXPECT_THROW((void)Expand("x"), EJsonError);
}

TEST_F(TokenExpansionTest, SavedChangesCountFromTheNextPage) {
    TReusableProjectContent store;
    store.FVariables = {{"Product", "one"}};
    store.SaveToProject(FProject);
    EXPECT_EQ(Expand("{var:Product}"), "one");

    // Same size, saved again at once: the timestamps may not move, the
    // replaced file tells.
    store.FVariables = {{"Product", "two"}};
    store.SaveToProject(FProject);
    EXPECT_EQ(Expand("{var:Product}"), "two");

    // Rewritten in place (the same file), then again with the same size and
    // the modification time set.
    const std::string path = ReusableContentPath(FProject);
    WriteFile(path, R"({"variables":[{"name":"Product","value":"six"}]})");
    EXPECT_EQ(Expand("{var:Product}"), "six");
    const auto modified = std::filesystem::last_write_time(path);
    WriteFile(path, R"({"variables":[{"name":"Product","value":"ten"}]})");
    std::filesystem::last_write_time(path, modified + std::chrono::seconds(1));
    EXPECT_EQ(Expand("{var:Product}"), "ten");

    // A different size.
    WriteFile(path, R"({"variables":[{"name":"Product","value":"seven"}]})");
    EXPECT_EQ(Expand("{var:Product}"), "seven");

    std::filesystem::remove(path);
    EXPECT_EQ(Expand("[{var:Product}]"), "[]");
}

TEST_F(TokenExpansionTest, PagesExpandInParallel) {
    const std::string page = "<p>{snip:Twice} {var:Version}</p><p>{begincond:Pro}</p><p>{snip:Ping}"
                             "</p><p>{endcond}</p><span title=\"t\">{snip:ProBlock}</span>";
    const std::string expected = Expand(page);
    EXPECT_EQ(expected,
              "<p><b>A&amp;B</b>+<b>A&amp;B</b> 3.2</p><p>ping(pong())</p><span>pro</span>");
    std::vector<std::string> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                results[t] = Expand(page);
        });
    for (std::thread& t : threads)
        t.join();
    for (const std::string& r : results)
        EXPECT_EQ(r, expected);
}

TEST(RegexReplaceWith, SkipsEmptyMatchesAndReplacesFirstOccurrences) {
    const auto bracket = [](const TRegexMatch& m) { return "[" + std::string(m.Group()) + "]"; };
    EXPECT_EQ(RegexReplaceWith("axxbx", TRegex("x*"), bracket), "a[xx]b[x]");
    EXPECT_EQ(RegexReplaceWith("no match", TRegex("x"), bracket), "no match");
    // A pattern that looks behind its match: the matched text is replaced
    // where it first occurs after the previous replacement.
    EXPECT_EQ(RegexReplaceWith("aba", TRegex("(?<=b)a"), bracket), "[a]ba");
}

TEST(HtmlDecode, Cases) {
    const Case cases[] = {
        {"named", "A&amp;B &lt;&gt;&quot;&apos;", "A&B <>\"'"},
        {"decimal", "caf&#233; &#128512;", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"one pass", "&amp;lt;", "&lt;"},
        {"bare ampersands", "AT&T & &; &", "AT&T & &; &"},
        {"other entities stay", "&nbsp;&eacute;&AMP;&#x41;", "&nbsp;&eacute;&AMP;&#x41;"},
        {"impossible numbers stay", "&#0;&#55296;&#1114112;&#99999999999;",
         "&#0;&#55296;&#1114112;&#99999999999;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlDecode(c.html), c.expected) << c.what;
}

} // namespace
