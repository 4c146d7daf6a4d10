#pragma once
// Text rules of the editing session: whether a topic body shows anything and
// whether a header is still the generated one.
#include <string>
#include <string_view>

namespace qm {

// Tags dropped, a few entities decoded, trimmed.
[[nodiscard]] std::string StripTagsAndEntities(std::string_view html);
// No image, table, video or frame, and no visible text.
[[nodiscard]] bool IsEmptyTopicHtml(std::string_view html);
// The header reads as the topic or project title and holds no image, table or link.
[[nodiscard]] bool IsAutoHeaderHtml(std::string_view headerHtml, std::string_view title,
                                    std::string_view projectTitle);

} // namespace qm
