#include "import/ImportRegex.h"

#include <optional>

namespace qm {

std::string RemoveMatches(std::string_view text, const TRegex& re) {
    return re.Replace(text, [](const TRegexMatch&) { return std::string(); });
}

std::string RemoveElements(std::string_view text, const TRegex& element, const TRegex& closer) {
    const std::optional<TRegexWindow> window = WindowBeforeLastCloser(closer, text, '>');
    if (!window)
        return std::string(text); // no closing tag, so no element can match
    return element.Replace(
        text, [](const TRegexMatch&) { return std::string(); }, *window);
}

std::string_view FirstMatchedGroup(const TRegexMatch& m, size_t first, size_t last) {
    for (size_t g = first; g <= last; ++g)
        if (m.Matched(g))
            return m.Group(g);
    return {};
}

} // namespace qm
