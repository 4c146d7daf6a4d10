#include "publish/SettingsCss.h"

#include "base/StringUtil.h"
#include "settings/Color.h"
#include "settings/ProjectSettings.h"

#include <string>
#include <string_view>
#include <utility>

namespace qm {

namespace {

// CR LF on every platform: a project published on Linux must give the same
// style sheets, byte for byte, as one published on Windows.
constexpr std::string_view kEol = "\r\n";

class TCssWriter {
public:
    // One line, CR LF appended.
    TCssWriter& operator<<(std::string_view line) {
        FText.append(line);
        FText.append(kEol);
        return *this;
    }
    [[nodiscard]] std::string Take() { return std::move(FText); }

private:
    std::string FText;
};

std::string CssFontName(const std::string& name) {
    std::string font = TrimCtl(name);
    if (font.empty())
        font = "Segoe UI";
    // The name sits inside a double-quoted CSS string; an unescaped quote would
    // end it early and drop the rest of the declaration.
    return ReplaceAll(font, "\"", "\\\"");
}

std::string Px(int value) {
    return std::to_string(value) + "px";
}

} // namespace

std::string BuildSettingsOverrideCss(const TProjectSettings* settings,
                                     TSettingsCssVariant variant) {
    if (settings == nullptr)
        return {};
    const TProjectSettings& s = *settings;

    const std::string font = CssFontName(s.DefaultFontName);
    const std::string textColor = ColorToHtml(s.DefaultTextColor);
    const std::string linkColor = ColorToHtml(s.LinkColor);
    std::string linkStyle = AsciiLower(TrimCtl(s.LinkStyle));
    if (linkStyle.empty())
        linkStyle = "solid";
    const bool noLinkLine = linkStyle == "none";
    // Unlike the link style there is no fallback: loading the settings already
    // guarantees one of the line styles, so an empty value is written as it is.
    const std::string borderStyle = AsciiLower(TrimCtl(s.TableBorderStyle));
    const std::string borderColor = ColorToHtml(s.TableBorderColor);
    const std::string headerBg = ColorToHtml(s.DefaultHeaderBgColor);
    const bool chm = variant == TSettingsCssVariant::Chm;

    TCssWriter w;
    w << "";
    w << "/* Project settings overrides */";
    w << "body {";
    w << "  font-family: \"" + font + "\", Arial, sans-serif !important;";
    w << "  font-size: " + Px(s.FontSizeBody) + " !important;";
    w << "  color: " + textColor + " !important;";
    w << "  line-height: " + FormatShortestDouble(s.DefaultLineSpacing) + " !important;";
    w << "}";

    w << "a, a:link, a:visited {";
    w << "  color: " + linkColor + " !important;";
    if (!chm) {
        if (noLinkLine) {
            w << "  text-decoration: none !important;";
        } else {
            w << "  text-decoration-line: underline !important;";
            w << "  text-decoration-style: " + linkStyle + " !important;";
        }
    } else {
        // The CHM viewer's old HTML engine has no text-decoration-style, so a
        // styled underline is drawn as a bottom border instead.
        w << "  text-decoration: none !important;";
        if (noLinkLine) {
            w << "  border-bottom: none !important;";
        } else {
            w << "  border-bottom-width: 1px !important;";
            w << "  border-bottom-style: " + linkStyle + " !important;";
            w << "  border-bottom-color: " + linkColor + " !important;";
        }
    }
    w << "}";

    w << "table {";
    w << "  border-collapse: collapse;";
    w << "  max-width: 100%;";
    if (!chm) {
        w << "}";
        w << "table, td, th {";
        w << "  border-style: " + borderStyle + " !important;";
        w << "  border-width: " + Px(s.TableBorderWidth) + " !important;";
        w << "  border-color: " + borderColor + " !important;";
        w << "}";
        w << "td, th {";
    } else {
        const std::string border = "  border: " + Px(s.TableBorderWidth) + " " + borderStyle + " " +
                                   borderColor + " !important;";
        w << border;
        w << "}";
        w << "td, th {";
        w << border;
    }
    w << "  padding: 6px;";
    w << "  vertical-align: top;";
    w << "}";

    w << (chm ? "table thead td, table thead th, table tr:first-child td, "
                "table tr:first-child th {"
              : "table tr:first-child > td, table tr:first-child > th {");
    w << "  background: " + headerBg + " !important;";
    w << "  background-color: " + headerBg + " !important;";
    w << "}";
    return w.Take();
}

} // namespace qm
