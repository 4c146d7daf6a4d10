#pragma once
// The project settings as the settings dialog shows them: texts for the
// fields the author types into, and the reading back of those texts into
// settings. Reading builds a new settings object, so a value that does not
// convert leaves the caller's settings as they were.
#include "settings/ProjectSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct TSettingsForm {
    std::string Title;
    std::string FontName; // blank keeps the stored font (one not installed here)
    std::string BodySize; // blank keeps the stored size
    TColor TextColor = 0;
    std::string LineSpacing;
    TColor PageBgColor = 0;
    TColor HeaderBgColor = 0;
    TColor TocTextColor = 0;
    std::string TocTextSize;
    bool CopyrightEnabled = false;
    std::string CopyrightText;
    TColor LinkColor = 0;
    std::string LinkStyle; // blank for "solid"
    std::string TableBorderStyle;
    std::string TableBorderWidth;
    TColor TableBorderColor = 0;
    std::string SpellingLanguage; // blank follows the program's language
};

[[nodiscard]] const std::vector<std::string>& LinkStyleWords();
[[nodiscard]] const std::vector<std::string>& TableBorderStyleWords();

// The form filled from settings; a style word not in its list shows as "solid".
[[nodiscard]] TSettingsForm SettingsFormFrom(const TProjectSettings& settings);

// base with the form's values. Raises EConvertError naming the first field
// whose text does not convert; base is never changed.
[[nodiscard]] TProjectSettings SettingsFromForm(const TProjectSettings& base,
                                                const TSettingsForm& form);

// A decimal with "." or "," before the fraction, whatever the user's locale;
// nothing when the trimmed text is not such a number.
[[nodiscard]] std::optional<double> ParseDecimalAnyLocale(std::string_view text);
// A line interval as the field shows it: always with a point ("1.5").
[[nodiscard]] std::string FormatLineSpacing(double value);

} // namespace qm
