#include "settings/ProjectSettings.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"

#include <algorithm>
#include <cstdlib>

namespace qm {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsOneOf(const std::string& s, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (SameTextAscii(s, w))
            return true;
    return false;
}

// "en", "de-DE", "sr-Latn-RS": what can name a dictionary, nothing that
// could reach a path or a command.
bool IsLanguageTag(std::string_view s) {
    size_t part = 0;
    bool first = true;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == '-') {
            if (part == 0 || part > 8 || (first && part < 2))
                return false;
            part = 0;
            first = false;
            continue;
        }
        const char c = s[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(!first && c >= '0' && c <= '9'))
            return false;
        ++part;
    }
    return true;
}

void ReadText(const TJsonDocument& doc, const Json& obj, const char* name, std::string& field) {
    if (const Json* m = JsonMember(&obj, name))
        field = doc.TextForm(*m);
}

void ReadInt(const TJsonDocument& doc, const Json& obj, const char* name, int& field) {
    const Json* m = JsonMember(&obj, name);
    if (m == nullptr || !m->is_number())
        return;
    const std::string text = doc.TextForm(*m);
    int v = 0;
    if (!m->is_number_integer() || !TryParseInt32(text, v))
        throw EConvertError("'" + text + "' is not a valid integer value (\"" + name + "\")");
    field = v;
}

void ReadColor(const TJsonDocument& doc, const Json& obj, const char* name, TColor& field) {
    const Json* m = JsonMember(&obj, name);
    const std::string text = m != nullptr ? doc.TextForm(*m) : ColorToHtml(field);
    field = HtmlToColor(text, field);
}
} // namespace

void TProjectSettings::SetDefaults() {
    ProjTitle = "Untitled Documentation";
    FontSizeH1 = 32;
    FontSizeH2 = 24;
    FontSizeH3 = 18;
    FontSizeBody = 16;
    DefaultTextColor = 0x000000;
    DefaultFontName = "Segoe UI";
    DefaultTextBackColor = 0xFFFFFF;
    DefaultLineSpacing = 1.5;
    DefaultPageBgColor = 0xFFFFFF;
    DefaultHeaderBgColor = 0xF5EFE7;
    TocTextColor = 0x000000;
    TocTextSize = 12;
    CopyrightEnabled = false;
    CopyrightText.clear();
    LinkColor = 0xFF0000;
    LinkStyle = "solid";
    TableBorderStyle = "solid";
    TableBorderWidth = 1;
    TableBorderColor = 0x999999;
    SpellingLanguage.clear();
}

Json TProjectSettings::ToJson() const {
    Json o = Json::object();
    o["ProjTitle"] = ProjTitle;
    o["FontSizeH1"] = FontSizeH1;
    o["FontSizeH2"] = FontSizeH2;
    o["FontSizeH3"] = FontSizeH3;
    o["FontSizeBody"] = FontSizeBody;
    o["DefaultTextColor"] = ColorToHtml(DefaultTextColor);
    o["DefaultFontName"] = DefaultFontName;
    o["DefaultTextBackColor"] = ColorToHtml(DefaultTextBackColor);
    o["DefaultLineSpacing"] = DefaultLineSpacing;
    o["DefaultPageBgColor"] = ColorToHtml(DefaultPageBgColor);
    o["DefaultHeaderBgColor"] = ColorToHtml(DefaultHeaderBgColor);
    o["TocTextColor"] = ColorToHtml(TocTextColor);
    o["TocTextSize"] = TocTextSize;
    o["CopyrightEnabled"] = CopyrightEnabled;
    o["CopyrightText"] = CopyrightText;
    o["LinkColor"] = ColorToHtml(LinkColor);
    o["LinkStyle"] = LinkStyle;
    o["TableBorderStyle"] = TableBorderStyle;
    o["TableBorderWidth"] = TableBorderWidth;
    o["TableBorderColor"] = ColorToHtml(TableBorderColor);
    if (IsLanguageTag(SpellingLanguage))
        o["SpellingLanguage"] = SpellingLanguage;
    return o;
}

void TProjectSettings::FromJson(const TJsonDocument& doc, const Json& obj) {
    ReadText(doc, obj, "ProjTitle", ProjTitle);
    ReadInt(doc, obj, "FontSizeH1", FontSizeH1);
    ReadInt(doc, obj, "FontSizeH2", FontSizeH2);
    ReadInt(doc, obj, "FontSizeH3", FontSizeH3);
    ReadInt(doc, obj, "FontSizeBody", FontSizeBody);
    ReadColor(doc, obj, "DefaultTextColor", DefaultTextColor);
    ReadText(doc, obj, "DefaultFontName", DefaultFontName);
    ReadColor(doc, obj, "DefaultTextBackColor", DefaultTextBackColor);
    if (const Json* m = JsonMember(&obj, "DefaultLineSpacing"); m != nullptr && m->is_number())
        DefaultLineSpacing = m->get<double>();
    ReadColor(doc, obj, "DefaultPageBgColor", DefaultPageBgColor);
    ReadColor(doc, obj, "DefaultHeaderBgColor", DefaultHeaderBgColor);
    ReadColor(doc, obj, "TocTextColor", TocTextColor);
    ReadInt(doc, obj, "TocTextSize", TocTextSize);
    if (const Json* m = JsonMember(&obj, "CopyrightEnabled")) {
        if (m->is_boolean()) {
            CopyrightEnabled = m->get<bool>();
        } else {
            const std::string t = AsciiLower(TrimCtl(doc.TextForm(*m)));
            if (t == "true")
                CopyrightEnabled = true;
            else if (t == "false")
                CopyrightEnabled = false;
        }
    }
    ReadText(doc, obj, "CopyrightText", CopyrightText);
    ReadColor(doc, obj, "LinkColor", LinkColor);
    if (const Json* m = JsonMember(&obj, "LinkStyle"))
        LinkStyle = AsciiLower(doc.TextForm(*m));
    if (const Json* m = JsonMember(&obj, "TableBorderStyle"))
        TableBorderStyle = AsciiLower(doc.TextForm(*m));
    ReadInt(doc, obj, "TableBorderWidth", TableBorderWidth);
    ReadColor(doc, obj, "TableBorderColor", TableBorderColor);
    ReadText(doc, obj, "SpellingLanguage", SpellingLanguage);
    SpellingLanguage = TrimCtl(SpellingLanguage);
    if (!IsLanguageTag(SpellingLanguage))
        SpellingLanguage.clear();

    FontSizeBody = std::max(FontSizeBody, 8);
    FontSizeH1 = std::max(FontSizeH1, 8);
    FontSizeH2 = std::max(FontSizeH2, 8);
    FontSizeH3 = std::max(FontSizeH3, 8);
    TocTextSize = std::clamp(TocTextSize, 6, 36);
    DefaultLineSpacing = std::clamp(DefaultLineSpacing, 1.0, 5.0);
    if (!IsOneOf(LinkStyle, {"none", "solid", "dashed", "dotted", "double"}))
        LinkStyle = "solid";
    if (!IsOneOf(TableBorderStyle, {"solid", "dashed", "dotted", "double"}))
        TableBorderStyle = "solid";
    TableBorderWidth = std::clamp(TableBorderWidth, 1, 12);
}

void TProjectSettings::SaveToFile(const std::string& fileName) const {
    EnsureDir(ExtractFileDir(fileName));
    WriteFileBytesAtomic(fileName, std::string(kBom) + JsonWrite(ToJson()));
}

bool TProjectSettings::LoadFromFile(const std::string& fileName) {
    if (!FileExists(fileName))
        return false;
    auto doc = TJsonDocument::Parse(ReadTextFileUtf8(fileName));
    if (!doc || !doc->Root().is_object())
        return false;
    FromJson(*doc, doc->Root());
    return true;
}

std::string TProjectSettings::DefaultSettingsPathForProject(const std::string& projectRoot) {
    return JoinPath(JoinPath(projectRoot, "meta"), "project_settings.json");
}

} // namespace qm
