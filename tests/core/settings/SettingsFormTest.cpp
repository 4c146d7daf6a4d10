#include "settings/SettingsForm.h"

#include "base/Error.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace qm;

namespace {

TSettingsForm DefaultForm() {
    return SettingsFormFrom(TProjectSettings());
}

} // namespace

TEST(SettingsForm, DecimalsReadTheSameWithPointOrComma) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1,25", 1.25}, {"1.25", 1.25}, {" 1.5 ", 1.5}, {"2", 2.0},    {"+1,5", 1.5},
        {"-0.5", -0.5}, {"abc", {}},    {"", {}},       {"1.2.3", {}}, {"1,5x", {}},
        {"1e3", {}},    {"inf", {}},    {"nan", {}},    {",", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimalAnyLocale(c.text), c.value) << c.text;
}

TEST(SettingsForm, DecimalsIgnoreACommaLocale) {
    const qm::test::TCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << comma.Problem();
    EXPECT_EQ(ParseDecimalAnyLocale("1.25"), 1.25);
    EXPECT_EQ(ParseDecimalAnyLocale("1,25"), 1.25);
    EXPECT_EQ(FormatLineSpacing(1.5), "1.5");
    EXPECT_EQ(SettingsFormFrom(TProjectSettings()).LineSpacing, "1.5");
}

TEST(SettingsForm, LineIntervalIsClampedToOneToFive) {
    const struct {
        const char* text;
        double stored;
    } cases[] = {{"1,25", 1.25}, {"0.8", 1.0}, {"9", 5.0}, {"5", 5.0}, {"1", 1.0}, {"-3", 1.0}};
    for (const auto& c : cases) {
        TSettingsForm f = DefaultForm();
        f.LineSpacing = c.text;
        EXPECT_DOUBLE_EQ(SettingsFromForm(TProjectSettings(), f).DefaultLineSpacing, c.stored)
            << c.text;
    }
}

TEST(SettingsForm, IntegersAreClampedToTheirRanges) {
    const struct {
        const char* toc;
        const char* border;
        int tocStored;
        int borderStored;
    } cases[] = {
        {"50", "0", 36, 1}, {"2", "20", 6, 12}, {" 14 ", "-4", 14, 1}, {"+7", "12", 7, 12}};
    for (const auto& c : cases) {
        TSettingsForm f = DefaultForm();
        f.TocTextSize = c.toc;
        f.TableBorderWidth = c.border;
        const TProjectSettings s = SettingsFromForm(TProjectSettings(), f);
        EXPECT_EQ(s.TocTextSize, c.tocStored) << c.toc;
        EXPECT_EQ(s.TableBorderWidth, c.borderStored) << c.border;
    }
}

TEST(SettingsForm, ABodySizeBelowTheMinimumIsKeptUntilTheFileIsRead) {
    TSettingsForm f = DefaultForm();
    f.BodySize = "3";
    EXPECT_EQ(SettingsFromForm(TProjectSettings(), f).FontSizeBody, 3);
}

TEST(SettingsForm, ABlankBodySizeOrFontKeepsTheStoredOne) {
    TProjectSettings base;
    base.FontSizeBody = 13;
    base.DefaultFontName = "Font Not Installed Here";
    TSettingsForm f = SettingsFormFrom(base);
    f.BodySize = "  ";
    f.FontName = "";
    const TProjectSettings s = SettingsFromForm(base, f);
    EXPECT_EQ(s.FontSizeBody, 13);
    EXPECT_EQ(s.DefaultFontName, "Font Not Installed Here");

    base.DefaultFontName = " ";
    EXPECT_EQ(SettingsFromForm(base, f).DefaultFontName, "Segoe UI");
}

TEST(SettingsForm, TextsAreTrimmedAndAnEmptyTitleStaysEmpty) {
    TSettingsForm f = DefaultForm();
    f.Title = "   ";
    f.CopyrightText = "  (c) Us \t";
    f.FontName = " DejaVu Sans ";
    const TProjectSettings s = SettingsFromForm(TProjectSettings(), f);
    EXPECT_EQ(s.ProjTitle, "");
    EXPECT_EQ(s.CopyrightText, "(c) Us");
    EXPECT_EQ(s.DefaultFontName, "DejaVu Sans");
}

TEST(SettingsForm, InvalidTextsFailAndLeaveTheSettingsAlone) {
    const struct {
        const char* what;
        void (*spoil)(TSettingsForm&);
    } cases[] = {
        {"line interval", [](TSettingsForm& f) { f.LineSpacing = "abc"; }},
        {"body size", [](TSettingsForm& f) { f.BodySize = "12pt"; }},
        {"tree size", [](TSettingsForm& f) { f.TocTextSize = ""; }},
        {"border width", [](TSettingsForm& f) { f.TableBorderWidth = "1.5"; }},
    };
    for (const auto& c : cases) {
        TProjectSettings base;
        base.ProjTitle = "Before";
        TSettingsForm f = SettingsFormFrom(base);
        f.Title = "After"; // read before the invalid field
        c.spoil(f);
        EXPECT_THROW((void)SettingsFromForm(base, f), EConvertError) << c.what;
        EXPECT_EQ(base.ProjTitle, "Before") << c.what;
    }
}

TEST(SettingsForm, StyleWordsOutsideTheListsShowAsSolid) {
    TProjectSettings s;
    s.LinkStyle = "wavy";
    s.TableBorderStyle = "none"; // a link style, not a border style
    const TSettingsForm f = SettingsFormFrom(s);
    EXPECT_EQ(f.LinkStyle, "solid");
    EXPECT_EQ(f.TableBorderStyle, "solid");
    s.LinkStyle = "DOTTED";
    EXPECT_EQ(SettingsFormFrom(s).LinkStyle, "dotted");

    TSettingsForm blank = DefaultForm();
    blank.LinkStyle.clear();
    blank.TableBorderStyle.clear();
    const TProjectSettings read = SettingsFromForm(TProjectSettings(), blank);
    EXPECT_EQ(read.LinkStyle, "solid");
    EXPECT_EQ(read.TableBorderStyle, "solid");
}

TEST(SettingsForm, ARoundTripKeepsEverySetting) {
    TProjectSettings s;
    s.ProjTitle = "Guide";
    s.FontSizeH1 = 40;
    s.FontSizeBody = 15;
    s.DefaultTextColor = 0x112233;
    s.DefaultLineSpacing = 1.75;
    s.DefaultPageBgColor = 0x445566;
    s.DefaultHeaderBgColor = 0x778899;
    s.TocTextColor = 0xAABBCC;
    s.TocTextSize = 20;
    s.CopyrightEnabled = true;
    s.CopyrightText = "Us";
    s.LinkColor = 0x010203;
    s.LinkStyle = "none";
    s.TableBorderStyle = "double";
    s.TableBorderWidth = 3;
    s.TableBorderColor = 0x040506;
    const TProjectSettings back = SettingsFromForm(s, SettingsFormFrom(s));
    EXPECT_EQ(back.ToJson(), s.ToJson());
}
