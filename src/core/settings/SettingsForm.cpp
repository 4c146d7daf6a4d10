#include "settings/SettingsForm.h"

#include "base/Error.h"
#include "base/StringUtil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace qm {

namespace {

std::string StyleOrSolid(const std::string& word, const std::vector<std::string>& words) {
    for (const std::string& w : words)
        if (SameTextAscii(w, word))
            return w;
    return "solid";
}

int ReadInteger(const std::string& text, const char* field) {
    int value = 0;
    if (!TryParseInt32(TrimCtl(text), value))
        throw EConvertError("'" + TrimCtl(text) + "' is not a valid integer value (" + field + ")");
    return value;
}

} // namespace

const std::vector<std::string>& LinkStyleWords() {
    static const std::vector<std::string> words{"none", "solid", "dashed", "dotted", "double"};
    return words;
}

const std::vector<std::string>& TableBorderStyleWords() {
    static const std::vector<std::string> words{"solid", "dashed", "dotted", "double"};
    return words;
}

std::optional<double> ParseDecimalAnyLocale(std::string_view text) {
    const std::string s = ReplaceAll(TrimCtl(text), ",", ".");
    if (s.empty())
        return std::nullopt;
    // A leading "+" is what an author may type; from_chars does not take it.
    const std::size_t start = s.front() == '+' ? 1 : 0;
    double value = 0;
    const char* first = s.data() + start;
    const char* last = s.data() + s.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatLineSpacing(double value) {
    return FormatShortestDouble(value);
}

TSettingsForm SettingsFormFrom(const TProjectSettings& s) {
    TSettingsForm f;
    f.Title = s.ProjTitle;
    f.FontName = s.DefaultFontName;
    f.BodySize = std::to_string(s.FontSizeBody);
    f.TextColor = s.DefaultTextColor;
    f.LineSpacing = FormatLineSpacing(s.DefaultLineSpacing);
    f.PageBgColor = s.DefaultPageBgColor;
    f.HeaderBgColor = s.DefaultHeaderBgColor;
    f.TocTextColor = s.TocTextColor;
    f.TocTextSize = std::to_string(s.TocTextSize);
    f.CopyrightEnabled = s.CopyrightEnabled;
    f.CopyrightText = s.CopyrightText;
    f.LinkColor = s.LinkColor;
    f.LinkStyle = StyleOrSolid(s.LinkStyle, LinkStyleWords());
    f.TableBorderStyle = StyleOrSolid(s.TableBorderStyle, TableBorderStyleWords());
    f.TableBorderWidth = std::to_string(s.TableBorderWidth);
    f.TableBorderColor = s.TableBorderColor;
    f.SpellingLanguage = s.SpellingLanguage;
    return f;
}

TProjectSettings SettingsFromForm(const TProjectSettings& base, const TSettingsForm& f) {
    TProjectSettings s = base;
    s.ProjTitle = TrimCtl(f.Title);
    // No range check: the loader raises a small size the next time it reads the file.
    if (!TrimCtl(f.BodySize).empty())
        s.FontSizeBody = ReadInteger(f.BodySize, "Font size");
    const std::string font = TrimCtl(f.FontName);
    if (!font.empty())
        s.DefaultFontName = font;
    if (TrimCtl(s.DefaultFontName).empty())
        s.DefaultFontName = "Segoe UI";
    s.DefaultTextColor = f.TextColor;
    const std::optional<double> spacing = ParseDecimalAnyLocale(f.LineSpacing);
    if (!spacing)
        throw EConvertError("'" + TrimCtl(f.LineSpacing) +
                            "' is not a valid decimal value (Default line interval)");
    s.DefaultLineSpacing = std::clamp(*spacing, 1.0, 5.0);
    s.DefaultPageBgColor = f.PageBgColor;
    s.DefaultHeaderBgColor = f.HeaderBgColor;
    s.TocTextColor = f.TocTextColor;
    s.TocTextSize = std::clamp(ReadInteger(f.TocTextSize, "Tree text size"), 6, 36);
    s.CopyrightEnabled = f.CopyrightEnabled;
    s.CopyrightText = TrimCtl(f.CopyrightText);
    s.LinkColor = f.LinkColor;
    s.LinkStyle = TrimCtl(f.LinkStyle).empty() ? "solid" : TrimCtl(f.LinkStyle);
    s.TableBorderStyle =
        TrimCtl(f.TableBorderStyle).empty() ? "solid" : TrimCtl(f.TableBorderStyle);
    s.TableBorderWidth = std::clamp(ReadInteger(f.TableBorderWidth, "Border width"), 1, 12);
    s.TableBorderColor = f.TableBorderColor;
    s.SpellingLanguage = TrimCtl(f.SpellingLanguage);
    return s;
}

} // namespace qm
