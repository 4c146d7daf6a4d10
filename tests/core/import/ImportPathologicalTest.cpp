// Pages shaped to make a backtracking matcher slow: floods of opening tags
// whose end never comes. Each case finishes far within a second; the CTest
// timeout of this executable only turns a hang into a failure.
#include "import/ImportCleaning.h"
#include "import/ImportRun.h"
#include "import/ImportedStyles.h"
#include "import/MediaReferences.h"

#include "TempDir.h"

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

TEST(ImportPathological, UnclosedElementsAfterTheContent) {
    // Each opening tag would otherwise make the lazy element search look for
    // its closing tag to the end of the page.
    for (const char* open : {"<script>x ", "<style>x ", "<title>x ", "<template>x "}) {
        const std::string flood = Repeat(open, 100'000);
        const std::string body = ExtractImportBody("<body><p>kept</p>" + flood + "</body>");
        EXPECT_EQ(body.size(), 11 + flood.size() - 1) << open;
        EXPECT_EQ(NeutraliseSectioningTags("<p>kept</p>" + flood).size(), 11 + flood.size() - 1)
            << open;
    }
    const std::string heads = Repeat("<head>x ", 100'000);
    EXPECT_EQ(ExtractImportBody("<p>kept</p>" + heads).size(), 11 + heads.size() - 1);
}

TEST(ImportPathological, TagsThatNeverEnd) {
    for (const char* open : {"<link ", "<meta ", "<section ", "<body ", "</time "}) {
        const std::string flood = "<p>kept</p>" + Repeat(open, 100'000);
        EXPECT_EQ(ExtractImportBody(flood).size(), flood.size() - 1) << open;
        EXPECT_EQ(NeutraliseSectioningTags(flood).size(), flood.size() - 1) << open;
        EXPECT_EQ(BodyWrapperOpenTag(flood), "") << open;
        qm::test::TTempDir dir;
        TImportRun run;
        run.ProjectRoot = dir / "project/";
        run.HtmlFolder = dir.Path();
        EXPECT_EQ(BuildImportedStyles(flood, run), "") << open;
    }
}

} // namespace
