// The toolbar's rules without widgets: the values read from its boxes and the
// windows that keep caret reports from undoing the author's last choice.
#include "editor/ToolbarSync.h"
#include "editor/ToolbarValues.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(ToolbarValues, BoxesAndAnswers) {
    struct SizeCase {
        const char* text;
        std::optional<int> px;
    };
    for (const SizeCase& c :
         std::initializer_list<SizeCase>{{"300", 200},
                                         {"5", 8},
                                         {" 14 ", 14},
                                         {"abc", std::nullopt},
                                         {"0", std::nullopt},
                                         {"-3", std::nullopt},
                                         {"12px", std::nullopt},
                                         {"99999999999999999999", std::nullopt}})
        EXPECT_EQ(FontSizeFromBox(c.text), c.px) << c.text;

    EXPECT_EQ(LineSpacingFromBox("1,5", ""), 1.5);
    EXPECT_EQ(LineSpacingFromBox("  ", "2.0"), 2.0);
    EXPECT_EQ(LineSpacingFromBox("0.5", ""), 0.5); // the caller sends at least 1
    EXPECT_EQ(LineSpacingFromBox("x", "1.5"), std::nullopt);
    EXPECT_EQ(LineSpacingFromBox("-1", ""), std::nullopt);

    using TSize = std::optional<std::pair<int, int>>;
    EXPECT_EQ(TableSizeFromAnswer("3,4"), TSize({3, 4}));
    EXPECT_EQ(TableSizeFromAnswer(" 2 , 2 "), TSize({2, 2}));
    EXPECT_EQ(TableSizeFromAnswer("3x4"), std::nullopt);
    EXPECT_EQ(TableSizeFromAnswer("0,4"), TSize({0, 0}));
    EXPECT_EQ(TableSizeFromAnswer("a,b"), TSize({0, 0}));
}

TEST(ToolbarValues, CaretColoursAndLineHeights) {
    const TColor current = 0x123456;
    struct ColorCase {
        const char* text;
        TColor expected;
    };
    for (const ColorCase& c : std::initializer_list<ColorCase>{{"transparent", 0xFFFFFF},
                                                               {"", 0xFFFFFF},
                                                               {"#FF0000", 0x0000FF},
                                                               {" #00ff80 ", 0x80FF00},
                                                               {"rgb(1, 2, 3)", current},
                                                               {"#abc", current},
                                                               {"#GG0000", current},
                                                               {"red", current}})
        EXPECT_EQ(ParseCaretColor(c.text, current), c.expected) << c.text;

    EXPECT_EQ(FormatLineHeightRatio(1.5), "1.5");
    EXPECT_EQ(FormatLineHeightRatio(1.0), "1");
    EXPECT_EQ(FormatLineHeightRatio(1.333), "1.33");
    EXPECT_EQ(FormatLineHeightRatio(10.0), "10");

    EXPECT_EQ(CaretLineHeight("24px", 16), "1.5");
    EXPECT_EQ(CaretLineHeight("16px", 16), "1");
    EXPECT_EQ(CaretLineHeight("12px", 16), "1"); // never below 1
    EXPECT_EQ(CaretLineHeight(" 1.5 ", 16), "1.5");
    EXPECT_EQ(CaretLineHeight("24px", 0), "24px");
}

namespace {
struct ToolbarSyncFixture : ::testing::Test {
    std::int64_t now = 1000;
    TToolbarSync sync{[this] { return now; }};
    TEditorCursorStyle style;
    ToolbarSyncFixture() {
        style.FontSizePx = 14;
        style.LineHeight = "1.5";
    }
    TToolbarView Report() { return sync.Report(style, 0); }
};
} // namespace

TEST_F(ToolbarSyncFixture, StyleButtonsWaitForThePage) {
    sync.StyleCommandSent(); // the author pressed Bold
    style.Bold = false;
    now += 349;
    EXPECT_FALSE(Report().Bold.has_value()) << "within 350 ms the button stays down";
    now += 1;
    EXPECT_EQ(Report().Bold, false);
    style.ListType = "OL";
    EXPECT_EQ(Report().NumberedList, true);
    EXPECT_EQ(Report().BulletList, false);
}

TEST_F(ToolbarSyncFixture, FontSizeWindowClosesWhenThePageAgrees) {
    sync.FontSizeSent(20);
    now += 100;
    EXPECT_FALSE(Report().FontSizePx.has_value()) << "a stale 14 is ignored";
    style.FontSizePx = 20;
    EXPECT_EQ(Report().FontSizePx, 20);
    style.FontSizePx = 14;
    now += 100; // still inside the 700 ms, but the window is closed
    EXPECT_EQ(Report().FontSizePx, 14);
    // Other controls follow reports inside a window.
    sync.FontSizeSent(30);
    style.BlockTag = "H2";
    style.Align = "justify";
    const TToolbarView v = Report();
    EXPECT_FALSE(v.FontSizePx.has_value());
    EXPECT_EQ(v.Heading, 2);
    EXPECT_EQ(v.Align, TAlignButton::None);
}

TEST_F(ToolbarSyncFixture, ColourFontAndLineHeightWindows) {
    sync.TextColorSent("#FF0000");
    sync.FontNameSent("Georgia");
    sync.LineHeightSent("2.0");
    style.TextColorHtml = "#000000";
    style.FontName = "Arial";
    style.LineHeight = "24px"; // 1.5 at 16 px
    style.FontSizePx = 16;
    now += 699;
    TToolbarView v = Report();
    EXPECT_FALSE(v.TextColor.has_value());
    EXPECT_FALSE(v.FontName.has_value());
    EXPECT_FALSE(v.LineHeight.has_value());
    style.TextColorHtml = "#ff0000"; // the chosen colour, in another case
    style.FontName = "georgia";
    v = Report();
    EXPECT_EQ(v.TextColor, 0x0000FFu);
    EXPECT_EQ(v.FontName, "georgia");
    now += 1;
    EXPECT_EQ(Report().LineHeight, "1.5");
}
