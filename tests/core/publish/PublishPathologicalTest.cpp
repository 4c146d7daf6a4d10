// Pages shaped to make the text scans of publishing slow: each scan must
// stay linear in the page, however often the start of a pattern occurs.
// Each case finishes far within a second; the CTest timeout of this
// executable only turns a quadratic scan into a failure.
#include "base/StringUtil.h"
#include "publish/chm/ChmImages.h"
#include "publish/chm/ChmPage.h"
#include "publish/webhelp/WebHelpPage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace qm;

namespace {

constexpr size_t kMegabyte = 1'000'000;

std::string Repeat(std::string_view piece, size_t bytes) {
    std::string s;
    s.reserve(bytes + piece.size());
    while (s.size() < bytes)
        s += piece;
    return s;
}

struct TScan {
    const char* Name;
    std::function<std::string(std::string_view)> Run;
};

// Every scan a published page goes through that looks for a pattern
// without regard to letter case.
const TScan kScans[] = {
    {"WebHelp white backgrounds", [](std::string_view s) { return StripWhiteBackgrounds(s); }},
    {"CHM white backgrounds", [](std::string_view s) { return chm::StripWhiteBackgrounds(s); }},
    {"CHM asset paths", [](std::string_view s) { return chm::FixChmAssetPaths(s); }},
    {"CHM first table row", [](std::string_view s) { return chm::ColorFirstTableRow(s, "#eee"); }},
};

TEST(PublishPathological, PagesFullOfAPatternsFirstLetterPassUnchanged) {
    struct TPage {
        const char* Name;
        std::string Text;
    };
    // "B" and "b" start "background", "S" starts "src", "<T" starts "<tr";
    // the other case of each letter never occurs.
    const TPage pages[] = {
        {"1 MB of B", std::string(kMegabyte, 'B')},
        {"50 MB of B", std::string(50 * kMegabyte, 'B')},
        {"50 MB of b", std::string(50 * kMegabyte, 'b')},
        {"50 MB of BACKGROUND", Repeat("BACKGROUND", 50 * kMegabyte)},
        {"50 MB of SRC=", Repeat("SRC=", 50 * kMegabyte)},
        {"50 MB of <TRACK", Repeat("<TRACK", 50 * kMegabyte)},
    };
    for (const TPage& page : pages) {
        for (const TScan& scan : kScans) {
            SCOPED_TRACE(std::string(page.Name) + ", " + scan.Name);
            EXPECT_TRUE(scan.Run(page.Text) == page.Text);
        }
    }
}

TEST(PublishPathological, EveryOneOfAMillionWhiteBackgroundsIsReplaced) {
    const std::string_view white = "BACKGROUND:WHITE;";
    const std::string_view transparent = "background: transparent;";
    const std::string page = Repeat(white, white.size() * kMegabyte);
    EXPECT_TRUE(StripWhiteBackgrounds(page) == Repeat(transparent, transparent.size() * kMegabyte));
    // CHM pages keep the shorthand forms.
    EXPECT_TRUE(chm::StripWhiteBackgrounds(page) == page);
}

TEST(PublishPathological, ImageSourcesOfALargePage) {
    EXPECT_TRUE(chm::CollectSrcValues(Repeat("SRC ", 50 * kMegabyte)).empty());
    const std::vector<std::string> values =
        chm::CollectSrcValues(Repeat("SRC='a.jpg' ", 12 * kMegabyte));
    ASSERT_EQ(values.size(), kMegabyte);
    EXPECT_EQ(values.front(), "a.jpg");
    EXPECT_EQ(values.back(), "a.jpg");
}

TEST(PublishPathological, FindAsciiNoCaseInFiftyMegabytesOfTheOtherCase) {
    const std::string page = std::string(50 * kMegabyte, 'B') + "background";
    EXPECT_EQ(FindAsciiNoCase(page, "background"), 50 * kMegabyte);
    EXPECT_EQ(ReplaceAllAsciiNoCase(page, "background", "x"),
              std::string(50 * kMegabyte, 'B') + "x");
}

} // namespace
