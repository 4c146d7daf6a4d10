#pragma once
// Resolving reusable-content tokens in topic HTML before it is published.
#include <string>

namespace qm {

class TDocProject;

// Snippets, then conditional blocks, then variables are resolved, and the
// editor-only decoration (dashed token frames, non-editable flags, titles) is
// stripped. Reads the project's reusable content file.
[[nodiscard]] std::string ExpandReusableContent(const TDocProject& project,
                                                const std::string& html);

} // namespace qm
