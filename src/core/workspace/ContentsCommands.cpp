#include "workspace/ContentsCommands.h"

#include "model/DocModel.h"

#include <algorithm>

namespace qm {

namespace {
std::vector<std::string>& Siblings(TDocProject& p, const TTopic& t) {
    if (t.ParentID.empty())
        return p.RootTopicIDs;
    return p.GetTopic(t.ParentID).Children;
}

int IndexOf(const std::vector<std::string>& list, const std::string& id) {
    auto it = std::find(list.begin(), list.end(), id);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}
} // namespace

bool MoveTopicUp(TDocProject& p, const std::string& id) {
    TTopic* t = p.Topics.Find(id);
    if (t == nullptr || (!t->ParentID.empty() && !p.HasTopic(t->ParentID)))
        return false;
    const int i = IndexOf(Siblings(p, *t), id);
    if (i <= 0)
        return false;
    p.MoveTopic(id, t->ParentID, i - 1);
    return true;
}

bool MoveTopicDown(TDocProject& p, const std::string& id) {
    TTopic* t = p.Topics.Find(id);
    if (t == nullptr || (!t->ParentID.empty() && !p.HasTopic(t->ParentID)))
        return false;
    const auto& sib = Siblings(p, *t);
    const int i = IndexOf(sib, id);
    if (i < 0 || i >= static_cast<int>(sib.size()) - 1)
        return false;
    p.MoveTopic(id, t->ParentID, i + 1);
    return true;
}

bool MoveTopicLevelUp(TDocProject& p, const std::string& id) {
    TTopic* t = p.Topics.Find(id);
    if (t == nullptr || t->ParentID.empty())
        return false;
    const TTopic* parent = p.Topics.Find(t->ParentID);
    if (parent == nullptr)
        return false;
    const std::string grand = parent->ParentID;
    if (!grand.empty() && !p.HasTopic(grand))
        return false;
    const auto& list = grand.empty() ? p.RootTopicIDs : p.GetTopic(grand).Children;
    const int j = IndexOf(list, parent->ID);
    const int index = j < 0 ? static_cast<int>(list.size()) : j + 1;
    p.MoveTopic(id, grand, index);
    return true;
}

TDropMode DropModeForOffset(int rel, int h) {
    if (rel < h / 3)
        return TDropMode::dmBefore;
    if (rel > (2 * h) / 3)
        return TDropMode::dmAfter;
    return TDropMode::dmChild;
}

bool CanDropTopic(const TDocProject& p, const std::string& dragId, const std::string& targetId) {
    return !dragId.empty() && !targetId.empty() && dragId != targetId && p.HasTopic(dragId) &&
           p.HasTopic(targetId) && !p.IsDescendant(targetId, dragId);
}

bool DropTopic(TDocProject& p, const std::string& dragId, const std::string& targetId,
               TDropMode mode) {
    if (!CanDropTopic(p, dragId, targetId))
        return false;
    const TTopic& target = p.GetTopic(targetId);
    if (mode == TDropMode::dmChild) {
        p.MoveTopic(dragId, targetId, static_cast<int>(target.Children.size()));
        return true;
    }
    const std::string parent = target.ParentID;
    if (!parent.empty() && !p.HasTopic(parent))
        return false;
    const auto& list = parent.empty() ? p.RootTopicIDs : p.GetTopic(parent).Children;
    const int targetPos = IndexOf(list, targetId);
    int k = targetPos < 0 ? static_cast<int>(list.size()) : targetPos;
    if (mode == TDropMode::dmAfter)
        ++k;
    const int dragPos = IndexOf(list, dragId);
    if (dragPos >= 0 && targetPos >= 0 && dragPos < targetPos)
        --k;
    p.MoveTopic(dragId, parent, k);
    return true;
}

} // namespace qm
