#pragma once
// A project's appearance settings and their JSON file meta/project_settings.json.
#include "base/Json.h"
#include "settings/Color.h"

#include <string>

namespace qm {

class TProjectSettings {
public:
    TProjectSettings() { SetDefaults(); }

    std::string ProjTitle;
    int FontSizeH1 = 0;
    int FontSizeH2 = 0;
    int FontSizeH3 = 0;
    int FontSizeBody = 0;
    TColor DefaultTextColor = 0;
    std::string DefaultFontName;
    TColor DefaultTextBackColor = 0;
    double DefaultLineSpacing = 0;
    TColor DefaultPageBgColor = 0;
    TColor DefaultHeaderBgColor = 0;
    TColor TocTextColor = 0;
    int TocTextSize = 0;
    bool CopyrightEnabled = false;
    std::string CopyrightText;
    TColor LinkColor = 0;
    std::string LinkStyle;
    std::string TableBorderStyle;
    int TableBorderWidth = 0;
    TColor TableBorderColor = 0;
    // The spelling dictionary's language ("de-DE"); blank follows the program.
    // Kept in the file only when set, so older programs read the same file.
    std::string SpellingLanguage;

    void SetDefaults();
    [[nodiscard]] Json ToJson() const;
    // Overlays the members present in obj and clamps every field to its range.
    // Raises EConvertError for an integer member holding a non-integer number.
    void FromJson(const TJsonDocument& doc, const Json& obj);
    void SaveToFile(const std::string& fileName) const;
    // False (and nothing changed) when the file is missing, not JSON or not an object.
    bool LoadFromFile(const std::string& fileName);

    [[nodiscard]] static std::string DefaultSettingsPathForProject(const std::string& projectRoot);
};

} // namespace qm
