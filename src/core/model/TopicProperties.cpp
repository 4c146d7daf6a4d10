#include "model/TopicProperties.h"

#include "base/StringUtil.h"
#include "model/DocModel.h"

namespace qm {

namespace {

std::string Lines(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& e : entries) {
        if (!text.empty())
            text += '\n';
        text += e;
    }
    return text;
}

} // namespace

std::vector<std::string> EntriesFromLines(std::string_view text) {
    std::vector<std::string> entries;
    for (const std::string& line : SplitLines(text))
        if (std::string entry = TrimCtl(line); !entry.empty())
            entries.push_back(std::move(entry));
    return entries;
}

TTopicProperties PropertiesOf(const TTopic& topic) {
    return {Lines(topic.Keywords), Lines(topic.IndexEntries), topic.ExcludeWeb, topic.ExcludeChm,
            topic.ExcludePdf};
}

void StoreProperties(TTopic& topic, const TTopicProperties& p) {
    topic.Keywords = EntriesFromLines(p.KeywordLines);
    topic.IndexEntries = EntriesFromLines(p.IndexLines);
    topic.ExcludeWeb = p.ExcludeWeb;
    topic.ExcludeChm = p.ExcludeChm;
    topic.ExcludePdf = p.ExcludePdf;
}

} // namespace qm
