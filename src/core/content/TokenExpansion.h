#pragma once
// Resolving reusable-content tokens in topic HTML before it is published.
#include <string>
#include <string_view>

namespace qm {

class TDocProject;

// Snippets, then conditional blocks, then variables are resolved, and the
// editor-only decoration (dashed token frames, non-editable flags, titles) is
// stripped. Reads the project's reusable content file. Raises EQuillmateError,
// naming the topic by topicTitle when one is given, when snippets nested in
// each other make far more text than the page (see TSnippetExpansion).
[[nodiscard]] std::string ExpandReusableContent(const TDocProject& project, const std::string& html,
                                                std::string_view topicTitle = {});

} // namespace qm
