#include "import/TagAttribute.h"

#include "import/ImportRegex.h"

#include <memory>
#include <optional>
#include <unordered_map>

namespace qm {

namespace {

// One compiled expression per attribute name; the import asks for the same
// few names (rel, href, class, style, lang, dir) over and over.
const TRegex& AttributeRegex(std::string_view name) {
    thread_local std::unordered_map<std::string, std::unique_ptr<TRegex>> compiled;
    auto& slot = compiled[std::string(name)];
    if (!slot)
        slot = std::make_unique<TRegex>("\\b" + std::string(name) +
                                            R"re(\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re",
                                        kImportMatching);
    return *slot;
}

} // namespace

std::string ReadTagAttribute(std::string_view tagText, std::string_view name) {
    const std::optional<TRegexMatch> m = AttributeRegex(name).Search(tagText);
    if (!m)
        return "";
    return std::string(FirstMatchedGroup(*m, 1, 3));
}

std::string DecodeAttributeValue(std::string_view value) {
    struct TEntity {
        std::string_view Text;
        char Char;
    };
    static constexpr TEntity kEntities[] = {{"&amp;", '&'},  {"&lt;", '<'},   {"&gt;", '>'},
                                            {"&quot;", '"'}, {"&#39;", '\''}, {"&apos;", '\''}};
    std::string r;
    r.reserve(value.size());
    for (size_t i = 0; i < value.size();) {
        bool decoded = false;
        if (value[i] == '&') {
            for (const auto& e : kEntities) {
                if (value.substr(i, e.Text.size()) == e.Text) {
                    r.push_back(e.Char);
                    i += e.Text.size();
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded)
            r.push_back(value[i++]);
    }
    return r;
}

} // namespace qm
