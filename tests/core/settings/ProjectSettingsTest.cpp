#include "settings/ProjectSettings.h"
#include "base/Error.h"
#include "settings/Color.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(Color, ToHtmlAndBack) {
    EXPECT_EQ(ColorToHtml(0xFFFFFF), "#FFFFFF");
    EXPECT_EQ(ColorToHtml(0xF5EFE7), "#E7EFF5");
    EXPECT_EQ(ColorToHtml(0xFF0000), "#0000FF");
    EXPECT_EQ(HtmlToColor(" #ff8000\t", 1), 0x0080FFu);
    EXPECT_EQ(HtmlToColor("#E7EFF5", 1), 0xF5EFE7u);
    for (const char* bad : {"#FF800", "red", "#GG0000", "#fff", "rgb(1,2,3)", "FF8000", ""})
        EXPECT_EQ(HtmlToColor(bad, 0x123456), 0x123456u) << bad;
}

TEST(ProjectSettings, DefaultFileBytes) {
    TTempDir dir;
    TProjectSettings s;
    s.SaveToFile(dir / "meta/project_settings.json");
    EXPECT_EQ(ReadFile(dir / "meta/project_settings.json"),
              "\xEF\xBB\xBF"
              R"({"ProjTitle":"Untitled Documentation","FontSizeH1":32,"FontSizeH2":24,)"
              R"("FontSizeH3":18,"FontSizeBody":16,"DefaultTextColor":"#000000",)"
              R"("DefaultFontName":"Segoe UI","DefaultTextBackColor":"#FFFFFF",)"
              R"("DefaultLineSpacing":1.5,"DefaultPageBgColor":"#FFFFFF",)"
              R"("DefaultHeaderBgColor":"#E7EFF5","TocTextColor":"#000000","TocTextSize":12,)"
              R"("CopyrightEnabled":false,"CopyrightText":"","LinkColor":"#0000FF",)"
              R"("LinkStyle":"solid","TableBorderStyle":"solid","TableBorderWidth":1,)"
              R"("TableBorderColor":"#999999"})");
}

TEST(ProjectSettings, LoadOverlaysAndClamps) {
    struct Case {
        const char* json;
        std::function<bool(const TProjectSettings&)> check;
        const char* what;
    };
    const Case cases[] = {
        {R"({"TocTextSize":100})", [](auto& s) { return s.TocTextSize == 36; }, "toc max"},
        {R"({"TocTextSize":2})", [](auto& s) { return s.TocTextSize == 6; }, "toc min"},
        {R"({"FontSizeH1":4})", [](auto& s) { return s.FontSizeH1 == 8; }, "h1 min"},
        {R"({"FontSizeH1":400})", [](auto& s) { return s.FontSizeH1 == 400; }, "no max"},
        {R"({"DefaultLineSpacing":0.5})", [](auto& s) { return s.DefaultLineSpacing == 1; }, "ls"},
        {R"({"DefaultLineSpacing":7})", [](auto& s) { return s.DefaultLineSpacing == 5; }, "ls"},
        {R"({"DefaultLineSpacing":"2"})", [](auto& s) { return s.DefaultLineSpacing == 1.5; },
         "string spacing ignored"},
        {R"({"LinkStyle":"Dashed"})", [](auto& s) { return s.LinkStyle == "dashed"; }, "lower"},
        {R"({"LinkStyle":"wavy"})", [](auto& s) { return s.LinkStyle == "solid"; }, "bad style"},
        {R"({"LinkStyle":"none"})", [](auto& s) { return s.LinkStyle == "none"; }, "none ok"},
        {R"({"TableBorderStyle":"none"})", [](auto& s) { return s.TableBorderStyle == "solid"; },
         "no none for tables"},
        {R"({"TableBorderWidth":0})", [](auto& s) { return s.TableBorderWidth == 1; }, "w min"},
        {R"({"TableBorderWidth":50})", [](auto& s) { return s.TableBorderWidth == 12; }, "w max"},
        {R"({"CopyrightEnabled":" TRUE "})", [](auto& s) { return s.CopyrightEnabled; }, "flag"},
        {R"({"CopyrightEnabled":1})", [](auto& s) { return !s.CopyrightEnabled; }, "1 ignored"},
        {R"({"DefaultTextColor":" #ff8000 "})",
         [](auto& s) { return s.DefaultTextColor == 0x0080FF; }, "colour"},
        {R"({"DefaultTextColor":"red"})", [](auto& s) { return s.DefaultTextColor == 0; },
         "bad colour"},
        {R"({"ProjTitle":12.50})", [](auto& s) { return s.ProjTitle == "12.50"; }, "text form"},
        {R"({"ProjTitle":"Only"})",
         [](auto& s) { return s.ProjTitle == "Only" && s.FontSizeBody == 16; }, "overlay"},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir / "s.json", c.json);
        TProjectSettings s;
        ASSERT_TRUE(s.LoadFromFile(dir / "s.json")) << c.json;
        EXPECT_TRUE(c.check(s)) << c.what << ": " << c.json;
    }
}

TEST(ProjectSettings, LoadFailures) {
    TTempDir dir;
    TProjectSettings s;
    s.ProjTitle = "kept";
    EXPECT_FALSE(s.LoadFromFile(dir / "missing.json"));
    WriteFile(dir / "arr.json", "[1,2]");
    EXPECT_FALSE(s.LoadFromFile(dir / "arr.json"));
    WriteFile(dir / "bad.json", "{oops");
    EXPECT_FALSE(s.LoadFromFile(dir / "bad.json"));
    EXPECT_EQ(s.ProjTitle, "kept");
    for (const char* json : {R"({"FontSizeBody":16.5})", R"({"FontSizeBody":1e1})"}) {
        WriteFile(dir / "frac.json", json);
        EXPECT_THROW(s.LoadFromFile(dir / "frac.json"), EConvertError) << json;
    }
}

TEST(ProjectSettings, RoundTripThroughAFile) {
    TTempDir dir;
    TProjectSettings a;
    a.ProjTitle = "\xC3\x9C"
                  "ber / \"x\"";
    a.DefaultLineSpacing = 1.75;
    a.CopyrightEnabled = true;
    a.LinkColor = 0x00AA11;
    a.SaveToFile(dir / "settings.json");
    TProjectSettings b;
    ASSERT_TRUE(b.LoadFromFile(dir / "settings.json"));
    EXPECT_EQ(b.ProjTitle, a.ProjTitle);
    EXPECT_EQ(b.DefaultLineSpacing, 1.75);
    EXPECT_TRUE(b.CopyrightEnabled);
    EXPECT_EQ(b.LinkColor, 0x00AA11u);
    EXPECT_EQ(TProjectSettings::DefaultSettingsPathForProject("/p/"),
              "/p/meta/project_settings.json");
}

TEST(ProjectSettings, SpellingLanguageIsWrittenOnlyWhenSetAndReadOnlyWhenItNamesALanguage) {
    TTempDir dir;
    const std::string file = dir / "meta/project_settings.json";
    TProjectSettings s;
    s.SaveToFile(file);
    EXPECT_EQ(ReadFile(file).find("SpellingLanguage"), std::string::npos)
        << "a file without the choice reads the same in older programs";
    s.SpellingLanguage = "de-DE";
    s.SaveToFile(file);
    TProjectSettings back;
    ASSERT_TRUE(back.LoadFromFile(file));
    EXPECT_EQ(back.SpellingLanguage, "de-DE");

    const struct {
        const char* stored;
        const char* read;
    } cases[] = {
        {R"("fr-FR")", "fr-FR"}, {R"(" en ")", "en"}, {R"("sr-Latn-RS")", "sr-Latn-RS"},
        {R"("../../etc")", ""},  {R"("de_DE")", ""},  {R"("e")", ""},
        {R"("de-")", ""},        {"42", ""},          {R"("")", ""},
    };
    for (const auto& c : cases) {
        WriteFile(file, std::string(R"({"ProjTitle":"T","SpellingLanguage":)") + c.stored + "}");
        TProjectSettings r;
        r.SpellingLanguage = "es-ES";
        ASSERT_TRUE(r.LoadFromFile(file)) << c.stored;
        EXPECT_EQ(r.SpellingLanguage, c.read) << c.stored;
    }
}
