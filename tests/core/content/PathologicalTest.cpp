// Pages and reusable content shaped to make the expansion slow, deep or
// huge. Each case finishes far within a second; the CTest timeout of this
// executable only catches a hang.
#include "content/ReusableContent.h"
#include "content/TokenExpansion.h"

#include "TempDir.h"
#include "base/Error.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

std::string Repeat(std::string_view piece, size_t times) {
    std::string s;
    s.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i)
        s += piece;
    return s;
}

class ExpansionPathologicalTest : public ::testing::Test {
protected:
    ExpansionPathologicalTest() {
        FProject.RootPath = FDir.Path() + "/";
        TReusableProjectContent store;
        store.FVariables = {{"V", "v"}};
        store.FConditions = {{"Pro", true}};
        store.SaveToProject(FProject);
    }

    TTempDir FDir;
    TDocProject FProject;
};

TEST_F(ExpansionPathologicalTest, MegabyteOfUnclosedMarkers) {
    constexpr size_t kTimes = 1024 * 1024 / 16;
    struct Case {
        const char* what;
        std::string page;
        std::string expected;
    };
    const Case cases[] = {
        // Each begin marker would look for an end marker to the end of the page.
        {"begin markers", Repeat("{begincond:Pro}x", kTimes), Repeat("x", kTimes)},
        {"begin markers after an end marker", "{endcond}" + Repeat("{begincond:Pro}x", kTimes),
         Repeat("x", kTimes)},
        {"begin markers between end markers",
         "a{endcond}" + Repeat("{begincond:Pro}x", kTimes) + "{endcond:Other}b",
         "a" + Repeat("x", kTimes) + "b"},
        // Without closing braces nothing is a marker.
        {"unclosed braces", Repeat("{begincond:Pro x", kTimes), Repeat("{begincond:Pro x", kTimes)},
        {"one brace at the end", Repeat("{begincond:", kTimes) + "}", ""},
        {"variable tokens without braces", Repeat("{var:V ", kTimes) + "}", ""},
        {"variable tokens never closed", Repeat("{var:V ", kTimes), Repeat("{var:V ", kTimes)},
        {"end markers never closed", Repeat("{endcond:Pro ", kTimes),
         Repeat("{endcond:Pro ", kTimes)},
        // Each "<p" would look for the end of its tag to the end of the page.
        {"block tags never closed", "{endcond}" + Repeat("<p {begincond:x}", kTimes),
         Repeat("<p ", kTimes)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandReusableContent(FProject, c.page), c.expected) << c.what;
}

TEST_F(ExpansionPathologicalTest, TenThousandNestedTags) {
    const std::string open = Repeat("<div><p>", 10'000);
    const std::string close = Repeat("</p></div>", 10'000);
    EXPECT_EQ(ExpandReusableContent(FProject, open + "{begincond:Pro}{var:V}{endcond}" + close),
              open + "v" + close);
    // The innermost block holds only a marker and is unwrapped; the marker goes.
    EXPECT_EQ(ExpandReusableContent(FProject, open + "{endcond}" + close),
              open.substr(0, open.size() - 3) + close.substr(4));
}

// S1 holds {snip:S2}, S2 holds {snip:S3} ... far deeper than any author
// nests them.
TEST_F(ExpansionPathologicalTest, LongChainOfSnippets) {
    constexpr int kDepth = 20'000;
    TReusableProjectContent store;
    for (int i = 1; i <= kDepth; ++i)
        store.FSnippets.push_back(
            {"S" + std::to_string(i), "<b>{snip:S" + std::to_string(i + 1) + "}</b>"});
    store.SaveToProject(FProject);
    const std::string page = ExpandReusableContent(FProject, "<p>{snip:S1}</p>");
    // The nesting is cut where it gets deeper than the expansion follows, and
    // no token is left behind.
    EXPECT_EQ(page.find("snip"), std::string::npos);
    EXPECT_EQ(page.substr(0, 6), "<p><b>");
    EXPECT_LT(page.size(), 1'000'000u);
}

// L1 holds {snip:L2} twice, L2 holds {snip:L3} twice ... : 2^22 copies of the
// innermost one.
TEST_F(ExpansionPathologicalTest, SnippetsDoublingAtEachLevel) {
    constexpr int kLevels = 22;
    TReusableProjectContent store;
    for (int i = 1; i < kLevels; ++i) {
        const std::string next = "{snip:L" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"L" + std::to_string(i), next + next});
    }
    store.FSnippets.push_back({"L" + std::to_string(kLevels), "<i>leaf text</i>"});
    store.SaveToProject(FProject);
    try {
        (void)ExpandReusableContent(FProject, "<p>{snip:L1}</p>", "Fan-out");
        ADD_FAILURE() << "expanded";
    } catch (const EQuillmateError& e) {
        EXPECT_STREQ(e.what(), "Reusable content expands too far in topic 'Fan-out': more than "
                               "16 MB (snippets nested in each other?)");
    }
}

// A snippet with a large conditional block that is off expands to nothing,
// yet each copy costs the work of reading it.
TEST_F(ExpansionPathologicalTest, SnippetsDoublingAroundTextThatIsDropped) {
    constexpr int kLevels = 16;
    TReusableProjectContent store;
    for (int i = 1; i < kLevels; ++i) {
        const std::string next = "{snip:L" + std::to_string(i + 1) + "}";
        store.FSnippets.push_back({"L" + std::to_string(i), next + next});
    }
    store.FSnippets.push_back({"L" + std::to_string(kLevels),
                               "{begincond:Off}" + Repeat("<p>dropped</p>", 20'000) + "{endcond}"});
    store.SaveToProject(FProject);
    EXPECT_THROW((void)ExpandReusableContent(FProject, "{snip:L1}"), EQuillmateError);
}

TEST_F(ExpansionPathologicalTest, DeeplyNestedContentFileIsNoContent) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    WriteFile(ReusableContentPath(FProject),
              R"({"variables":[{"name":"V","value":"v"}],"deep":)" + deep + "}");
    EXPECT_EQ(ExpandReusableContent(FProject, "[{var:V}]"), "[]");
}

} // namespace
