#include "model/ContentsWalk.h"

#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"

#include <unordered_set>

namespace qm {

TContentsWalk WalkContents(const TDocProject& project,
                           const std::function<bool(const TTopic&)>& include) {
    TContentsWalk walk;
    std::unordered_set<std::string> shown;
    std::unordered_set<std::string> warned;
    struct TPending {
        const std::string* Id;
        int Depth;
    };
    // The next id last; children go on in reverse so the first comes off first.
    std::vector<TPending> pending;
    for (auto it = project.RootTopicIDs.rbegin(); it != project.RootTopicIDs.rend(); ++it)
        pending.push_back({&*it, 0});
    while (!pending.empty()) {
        const TPending next = pending.back();
        pending.pop_back();
        const TTopic* t = project.Topics.Find(*next.Id);
        if (t == nullptr || (include && !include(*t)))
            continue;
        if (!shown.insert(t->ID).second) {
            if (warned.insert(t->ID).second)
                walk.Warnings.push_back(FormatS(
                    Translate("The topic \"%s\" is listed more than once in the contents; it "
                              "is shown at its first place only."),
                    t->Title));
            continue;
        }
        walk.Entries.push_back({t, next.Depth});
        for (auto it = t->Children.rbegin(); it != t->Children.rend(); ++it)
            pending.push_back({&*it, next.Depth + 1});
    }
    return walk;
}

} // namespace qm
