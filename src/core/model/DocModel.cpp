#include "model/DocModel.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "platform/Guid.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace qm {

// --- TTopicDictionary ---

bool TTopicDictionary::Contains(std::string_view id) const {
    return FIndex.find(id) != FIndex.end();
}

TTopic* TTopicDictionary::Find(std::string_view id) {
    auto it = FIndex.find(id);
    return it == FIndex.end() ? nullptr : it->second->get();
}

const TTopic* TTopicDictionary::Find(std::string_view id) const {
    auto it = FIndex.find(id);
    return it == FIndex.end() ? nullptr : it->second->get();
}

TTopic& TTopicDictionary::Add(std::unique_ptr<TTopic> topic) {
    if (FIndex.count(topic->ID) != 0)
        throw EJsonError("Duplicate topic id: " + topic->ID);
    FItems.push_back(std::move(topic));
    auto it = std::prev(FItems.end());
    FIndex.emplace((*it)->ID, it);
    return **it;
}

void TTopicDictionary::Remove(std::string_view id) {
    auto it = FIndex.find(id);
    if (it == FIndex.end())
        return;
    // The key views the topic's ID, so the entry goes before the topic.
    const TList::iterator item = it->second;
    FIndex.erase(it);
    FItems.erase(item);
}

void TTopicDictionary::Clear() {
    FIndex.clear();
    FItems.clear();
}

// --- TDocProject ---

namespace {
void RemoveFirst(std::vector<std::string>& list, const std::string& id) {
    auto it = std::find(list.begin(), list.end(), id);
    if (it != list.end())
        list.erase(it);
}
} // namespace

void TDocProject::Clear() {
    Topics.Clear();
    RootTopicIDs.clear();
    Title = "Untitled Documentation";
    StyleProfile = "default";
}

std::string TDocProject::NewTopicId() {
    const platform::TGuid g = platform::NewGuid();
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X", g.D1, g.D2, g.D3,
                  g.D4[0], g.D4[1], g.D4[2], g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]);
    return buf;
}

bool TDocProject::IsSafeTopicId(std::string_view id) {
    if (id.empty() || id == "." || id.find("..") != std::string_view::npos)
        return false;
    // "ID.html" and the temporary names written beside it must fit the 255
    // bytes a file name may have.
    if (id.size() > kMaxTopicIdBytes)
        return false;
    for (char c : id) {
        const auto u = static_cast<unsigned char>(c);
        // Separators and ':' leave the topics folder; the others are refused
        // in paths or change a page address's meaning.
        if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':' || c == '"' || c == '<' ||
            c == '>' || c == '|' || c == '*' || c == '?' || c == '#' || c == '%')
            return false;
    }
    return true;
}

std::string TDocProject::TopicHtmlPath(std::string_view id) const {
    if (!IsSafeTopicId(id))
        return "";
    return JoinPath(JoinPath(RootPath, "topics"), std::string(id) + ".html");
}

TTopic& TDocProject::AddTopic(const std::string& title, const std::string& parentId) {
    TTopic* parent = nullptr;
    if (!parentId.empty())
        parent = &GetTopic(parentId); // fails before anything changes
    auto topic = std::make_unique<TTopic>();
    topic->ID = NewTopicId();
    topic->Title = title;
    topic->ParentID = parentId;
    EnsureDir(JoinPath(RootPath, "topics"));
    TTopic& added = Topics.Add(std::move(topic));
    if (parent != nullptr)
        parent->Children.push_back(added.ID);
    else
        RootTopicIDs.push_back(added.ID);
    return added;
}

void TDocProject::DeleteTopic(const std::string& id) {
    if (!Topics.Contains(id))
        return;
    // Collect the subtree first with a visited set: a tree read from disk may
    // hold cycles or repeated child ids, which a naive recursion would follow
    // forever.
    std::vector<std::string> order; // parents before children
    std::unordered_set<std::string> seen;
    std::vector<std::string> stack{id};
    while (!stack.empty()) {
        std::string cur = std::move(stack.back());
        stack.pop_back();
        if (!seen.insert(cur).second)
            continue;
        const TTopic* t = Topics.Find(cur);
        if (t == nullptr)
            continue;
        order.push_back(cur);
        for (auto it = t->Children.rbegin(); it != t->Children.rend(); ++it)
            stack.push_back(*it);
    }
    // Children before parents, as the recursive definition removes them.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TTopic* t = Topics.Find(*it);
        if (t == nullptr)
            continue;
        if (t->ParentID.empty()) {
            RemoveFirst(RootTopicIDs, t->ID);
        } else if (TTopic* parent = Topics.Find(t->ParentID)) {
            RemoveFirst(parent->Children, t->ID);
        }
        const std::string page = TopicHtmlPath(t->ID);
        if (!page.empty() && FileExists(page))
            std::remove(page.c_str()); // a page that cannot go stays, unreported
        Topics.Remove(*it);
    }
}

TTopic& TDocProject::GetTopic(std::string_view id) {
    TTopic* t = Topics.Find(id);
    if (t == nullptr)
        throw EQuillmateError(FormatS(Translate("Topic not found: %s"), id));
    return *t;
}

const TTopic& TDocProject::GetTopic(std::string_view id) const {
    const TTopic* t = Topics.Find(id);
    if (t == nullptr)
        throw EQuillmateError(FormatS(Translate("Topic not found: %s"), id));
    return *t;
}

bool TDocProject::IsDescendant(const std::string& nodeId,
                               const std::string& possibleAncestorId) const {
    // Bounded by the number of topics: a parent chain longer than that has a cycle.
    std::string cur = nodeId;
    for (size_t steps = 0; !cur.empty() && steps <= Topics.Count(); ++steps) {
        if (cur == possibleAncestorId)
            return true;
        const TTopic* t = Topics.Find(cur);
        if (t == nullptr)
            return false;
        cur = t->ParentID;
    }
    return false;
}

void TDocProject::MoveTopic(const std::string& id, const std::string& newParentId,
                            int insertIndex) {
    TTopic& topic = GetTopic(id);
    if (newParentId == id || (!newParentId.empty() && IsDescendant(newParentId, id)))
        throw EQuillmateError(Translate("Cannot move a topic into itself/its descendant."));
    // Resolve the destination before changing anything, so an unknown parent
    // leaves the tree as it was.
    std::vector<std::string>& newList =
        newParentId.empty() ? RootTopicIDs : GetTopic(newParentId).Children;
    std::vector<std::string>* oldList = &RootTopicIDs;
    if (!topic.ParentID.empty()) {
        TTopic* oldParent = Topics.Find(topic.ParentID);
        oldList = oldParent != nullptr ? &oldParent->Children : nullptr;
        if (oldParent == nullptr)
            (void)GetTopic(topic.ParentID); // raises "Topic not found"
    }
    if (oldList != nullptr)
        RemoveFirst(*oldList, id);
    topic.ParentID = newParentId;
    const int count = static_cast<int>(newList.size());
    insertIndex = std::clamp(insertIndex, 0, count);
    newList.insert(newList.begin() + insertIndex, id);
}

} // namespace qm
