// Pages and reusable content shaped to make the expansion slow or deep. Each
// case finishes far within a second; the CTest timeout of this executable
// only catches a hang.
#include "content/ReusableContent.h"
#include "content/TokenExpansion.h"

#include "TempDir.h"
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

TEST_F(ExpansionPathologicalTest, DeeplyNestedContentFileIsNoContent) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    WriteFile(ReusableContentPath(FProject),
              R"({"variables":[{"name":"V","value":"v"}],"deep":)" + deep + "}");
    EXPECT_EQ(ExpandReusableContent(FProject, "[{var:V}]"), "[]");
}

} // namespace
