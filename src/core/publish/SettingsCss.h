#pragma once
// The settings overrides style sheet that every rendering of a topic gets.
#include <string>

namespace qm {

class TProjectSettings;

enum class TSettingsCssVariant { Standard, Chm };

// settings may be null.
[[nodiscard]] std::string BuildSettingsOverrideCss(const TProjectSettings* settings,
                                                   TSettingsCssVariant variant);

} // namespace qm
