#pragma once
// A topic's publishing properties as an author edits them: keywords and index
// entries one per line, and the three exclusion flags.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TTopic;

struct TTopicProperties {
    std::string KeywordLines;
    std::string IndexLines;
    bool ExcludeWeb = false;
    bool ExcludeChm = false;
    bool ExcludePdf = false;
};

// Each line trimmed; blank lines left out; order and duplicates kept.
[[nodiscard]] std::vector<std::string> EntriesFromLines(std::string_view text);
[[nodiscard]] TTopicProperties PropertiesOf(const TTopic& topic);
void StoreProperties(TTopic& topic, const TTopicProperties& properties);

} // namespace qm
