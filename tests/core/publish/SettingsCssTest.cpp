#include "publish/SettingsCss.h"
#include "settings/ProjectSettings.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace qm;
using qm::test::TCommaLocale;

namespace {

std::string CssFor(const std::function<void(TProjectSettings&)>& change,
                   TSettingsCssVariant variant) {
    TProjectSettings s;
    change(s);
    return BuildSettingsOverrideCss(&s, variant);
}

} // namespace

TEST(SettingsCss, NoSettingsGivesEmptyText) {
    EXPECT_EQ(BuildSettingsOverrideCss(nullptr, TSettingsCssVariant::Standard), "");
    EXPECT_EQ(BuildSettingsOverrideCss(nullptr, TSettingsCssVariant::Chm), "");
}

TEST(SettingsCss, DefaultSettingsStandard) {
    const TProjectSettings s;
    EXPECT_EQ(BuildSettingsOverrideCss(&s, TSettingsCssVariant::Standard),
              "\r\n"
              "/* Project settings overrides */\r\n"
              "body {\r\n"
              "  font-family: \"Segoe UI\", Arial, sans-serif !important;\r\n"
              "  font-size: 16px !important;\r\n"
              "  color: #000000 !important;\r\n"
              "  line-height: 1.5 !important;\r\n"
              "}\r\n"
              "a, a:link, a:visited {\r\n"
              "  color: #0000FF !important;\r\n"
              "  text-decoration-line: underline !important;\r\n"
              "  text-decoration-style: solid !important;\r\n"
              "}\r\n"
              "table {\r\n"
              "  border-collapse: collapse;\r\n"
              "  max-width: 100%;\r\n"
              "}\r\n"
              "table, td, th {\r\n"
              "  border-style: solid !important;\r\n"
              "  border-width: 1px !important;\r\n"
              "  border-color: #999999 !important;\r\n"
              "}\r\n"
              "td, th {\r\n"
              "  padding: 6px;\r\n"
              "  vertical-align: top;\r\n"
              "}\r\n"
              "table tr:first-child > td, table tr:first-child > th {\r\n"
              "  background: #E7EFF5 !important;\r\n"
              "  background-color: #E7EFF5 !important;\r\n"
              "}\r\n");
}

TEST(SettingsCss, DefaultSettingsChm) {
    const TProjectSettings s;
    EXPECT_EQ(BuildSettingsOverrideCss(&s, TSettingsCssVariant::Chm),
              "\r\n"
              "/* Project settings overrides */\r\n"
              "body {\r\n"
              "  font-family: \"Segoe UI\", Arial, sans-serif !important;\r\n"
              "  font-size: 16px !important;\r\n"
              "  color: #000000 !important;\r\n"
              "  line-height: 1.5 !important;\r\n"
              "}\r\n"
              "a, a:link, a:visited {\r\n"
              "  color: #0000FF !important;\r\n"
              "  text-decoration: none !important;\r\n"
              "  border-bottom-width: 1px !important;\r\n"
              "  border-bottom-style: solid !important;\r\n"
              "  border-bottom-color: #0000FF !important;\r\n"
              "}\r\n"
              "table {\r\n"
              "  border-collapse: collapse;\r\n"
              "  max-width: 100%;\r\n"
              "  border: 1px solid #999999 !important;\r\n"
              "}\r\n"
              "td, th {\r\n"
              "  border: 1px solid #999999 !important;\r\n"
              "  padding: 6px;\r\n"
              "  vertical-align: top;\r\n"
              "}\r\n"
              "table thead td, table thead th, table tr:first-child td, table tr:first-child th "
              "{\r\n"
              "  background: #E7EFF5 !important;\r\n"
              "  background-color: #E7EFF5 !important;\r\n"
              "}\r\n");
}

TEST(SettingsCss, SettingValuesReachTheText) {
    using V = TSettingsCssVariant;
    struct Case {
        const char* what;
        std::function<void(TProjectSettings&)> change;
        V variant;
        // Whole lines or whole blocks, CR LF included, that must appear as they stand.
        const char* expected;
    };
    const Case cases[] = {
        {"quotes in the font name are escaped inside the CSS string",
         [](auto& s) { s.DefaultFontName = R"(Segoe "UI" Light)"; }, V::Standard,
         "  font-family: \"Segoe \\\"UI\\\" Light\", Arial, sans-serif !important;\r\n"},
        {"a blank font name falls back", [](auto& s) { s.DefaultFontName = "  "; }, V::Chm,
         "  font-family: \"Segoe UI\", Arial, sans-serif !important;\r\n"},
        {"the font name is trimmed of control characters",
         [](auto& s) { s.DefaultFontName = "\t Arial Narrow \r"; }, V::Standard,
         "  font-family: \"Arial Narrow\", Arial, sans-serif !important;\r\n"},
        {"a negative size keeps its sign", [](auto& s) { s.FontSizeBody = -3; }, V::Standard,
         "  font-size: -3px !important;\r\n"},
        {"a whole line height has no decimals", [](auto& s) { s.DefaultLineSpacing = 2.0; },
         V::Standard, "  line-height: 2 !important;\r\n"},
        {"line height 1.25", [](auto& s) { s.DefaultLineSpacing = 1.25; }, V::Chm,
         "  line-height: 1.25 !important;\r\n"},
        {"line height stops at 15 significant digits",
         [](auto& s) { s.DefaultLineSpacing = 4.0 / 3.0; }, V::Standard,
         "  line-height: 1.33333333333333 !important;\r\n"},
        {"text colour", [](auto& s) { s.DefaultTextColor = 0x204080; }, V::Standard,
         "  color: #804020 !important;\r\n"},
        {"link style none, any case and blanks, drops the decoration",
         [](auto& s) { s.LinkStyle = " NONE "; }, V::Standard,
         "a, a:link, a:visited {\r\n"
         "  color: #0000FF !important;\r\n"
         "  text-decoration: none !important;\r\n"
         "}\r\n"},
        {"link style none in the CHM variant drops the bottom border",
         [](auto& s) { s.LinkStyle = "None"; }, V::Chm,
         "a, a:link, a:visited {\r\n"
         "  color: #0000FF !important;\r\n"
         "  text-decoration: none !important;\r\n"
         "  border-bottom: none !important;\r\n"
         "}\r\n"},
        {"a red dashed link",
         [](auto& s) {
             s.LinkColor = 0x0000FF;
             s.LinkStyle = "dashed";
         },
         V::Standard,
         "a, a:link, a:visited {\r\n"
         "  color: #FF0000 !important;\r\n"
         "  text-decoration-line: underline !important;\r\n"
         "  text-decoration-style: dashed !important;\r\n"
         "}\r\n"},
        {"the CHM bottom border takes the link colour",
         [](auto& s) {
             s.LinkColor = 0x0000FF;
             s.LinkStyle = " Dotted";
         },
         V::Chm,
         "a, a:link, a:visited {\r\n"
         "  color: #FF0000 !important;\r\n"
         "  text-decoration: none !important;\r\n"
         "  border-bottom-width: 1px !important;\r\n"
         "  border-bottom-style: dotted !important;\r\n"
         "  border-bottom-color: #FF0000 !important;\r\n"
         "}\r\n"},
        {"an empty link style gives solid", [](auto& s) { s.LinkStyle = ""; }, V::Standard,
         "  text-decoration-style: solid !important;\r\n"},
        {"an empty border style leaves an empty value", [](auto& s) { s.TableBorderStyle = ""; },
         V::Standard, "  border-style:  !important;\r\n"},
        {"a blank border style leaves two spaces in the CHM shorthand",
         [](auto& s) { s.TableBorderStyle = " \t"; }, V::Chm,
         "table {\r\n"
         "  border-collapse: collapse;\r\n"
         "  max-width: 100%;\r\n"
         "  border: 1px  #999999 !important;\r\n"
         "}\r\n"
         "td, th {\r\n"
         "  border: 1px  #999999 !important;\r\n"},
        {"table borders",
         [](auto& s) {
             s.TableBorderStyle = " Double ";
             s.TableBorderWidth = 3;
             s.TableBorderColor = 0x123456;
         },
         V::Standard,
         "table, td, th {\r\n"
         "  border-style: double !important;\r\n"
         "  border-width: 3px !important;\r\n"
         "  border-color: #563412 !important;\r\n"
         "}\r\n"},
        {"table borders, CHM shorthand",
         [](auto& s) {
             s.TableBorderStyle = "DASHED";
             s.TableBorderWidth = 12;
             s.TableBorderColor = 0x000000;
         },
         V::Chm, "  border: 12px dashed #000000 !important;\r\n"},
        {"header background", [](auto& s) { s.DefaultHeaderBgColor = 0x00FF00; }, V::Chm,
         "  background: #00FF00 !important;\r\n"
         "  background-color: #00FF00 !important;\r\n"},
    };
    for (const auto& c : cases) {
        const std::string css = CssFor(c.change, c.variant);
        EXPECT_NE(css.find(c.expected), std::string::npos) << c.what << "\n--- got:\n" << css;
    }
}

TEST(SettingsCss, DecimalPointWhateverTheLocale) {
    // CSS knows only "1.5"; a desktop in a comma locale must still get it.
    const TCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << comma.Problem();
    const std::string css =
        CssFor([](auto& s) { s.DefaultLineSpacing = 1.5; }, TSettingsCssVariant::Standard);
    EXPECT_NE(css.find("  line-height: 1.5 !important;\r\n"), std::string::npos) << css;
}
