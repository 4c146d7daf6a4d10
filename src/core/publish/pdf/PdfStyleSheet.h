#pragma once
// The style sheet beside the PDF manual.
#include <string>

namespace qm {
class TDocProject;
class TProjectSettings;
} // namespace qm

namespace qm::pdf {

// The project's style profile (styles/<StyleProfile>.css; a built-in body
// rule when it is missing), a rule that takes the paragraph margins away when
// the profile has no "p { margin" of its own (written exactly so), then the
// settings overrides.
[[nodiscard]] std::string BuildPdfStyleSheet(const TDocProject& project,
                                             const TProjectSettings& settings);

} // namespace qm::pdf
