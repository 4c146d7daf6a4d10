#pragma once
// The in-memory topic tree of one help project: every topic by id, and the
// ordered tree (top-level ids plus each topic's children) that is the contents.
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qm {

// The longest topic id that can name its page file.
inline constexpr size_t kMaxTopicIdBytes = 200;

class TTopic {
public:
    std::string ID;
    std::string Title;
    std::string ParentID;
    std::vector<std::string> Children;
    std::vector<std::string> Keywords;
    std::vector<std::string> IndexEntries;
    bool ExcludeWeb = false;
    bool ExcludeChm = false;
    bool ExcludePdf = false;
};

// Topics keyed by id. Enumeration follows the order in which topics were
// added, so the same project always writes the same bytes.
class TTopicDictionary {
public:
    using TList = std::list<std::unique_ptr<TTopic>>;

    class const_iterator {
    public:
        explicit const_iterator(TList::const_iterator it) : FIt(it) {}
        const TTopic& operator*() const { return **FIt; }
        const TTopic* operator->() const { return FIt->get(); }
        const_iterator& operator++() {
            ++FIt;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return FIt == o.FIt; }
        bool operator!=(const const_iterator& o) const { return FIt != o.FIt; }

    private:
        TList::const_iterator FIt;
    };

    [[nodiscard]] bool Contains(std::string_view id) const;
    [[nodiscard]] TTopic* Find(std::string_view id);
    [[nodiscard]] const TTopic* Find(std::string_view id) const;
    // Raises EJsonError("Duplicate topic id: ...") when the id is taken.
    TTopic& Add(std::unique_ptr<TTopic> topic);
    void Remove(std::string_view id);
    void Clear();
    [[nodiscard]] size_t Count() const { return FItems.size(); }
    [[nodiscard]] const_iterator begin() const { return const_iterator(FItems.cbegin()); }
    [[nodiscard]] const_iterator end() const { return const_iterator(FItems.cend()); }

private:
    TList FItems;
    // Keyed by a view of the topic's own ID: lookups by string_view need no
    // temporary string, and a copy of every id as the key would cost a second
    // heap string per topic. A topic's ID never changes
    // while it is listed, and the topic itself does not move.
    std::unordered_map<std::string_view, TList::iterator> FIndex;
};

class TDocProject {
public:
    TDocProject() = default;
    TDocProject(const TDocProject&) = delete;
    TDocProject& operator=(const TDocProject&) = delete;

    std::string RootPath; // the data folder, stored with a trailing separator
    std::string Title;
    TTopicDictionary Topics;
    std::vector<std::string> RootTopicIDs;
    std::string StyleProfile = "default";

    void Clear();
    TTopic& AddTopic(const std::string& title, const std::string& parentId);
    void DeleteTopic(const std::string& id);
    // Raises EQuillmateError "Topic not found: %s" (translated).
    [[nodiscard]] TTopic& GetTopic(std::string_view id);
    [[nodiscard]] const TTopic& GetTopic(std::string_view id) const;
    [[nodiscard]] bool HasTopic(std::string_view id) const { return Topics.Contains(id); }
    [[nodiscard]] bool IsDescendant(const std::string& nodeId,
                                    const std::string& possibleAncestorId) const;
    void MoveTopic(const std::string& id, const std::string& newParentId, int insertIndex);
    [[nodiscard]] static std::string NewTopicId();

    // Full path of a topic's page: RootPath, "topics", id + ".html". Empty
    // when the id is not IsSafeTopicId, so such a page is never read or written.
    // The only source of a page's path: a path kept per topic would go stale
    // when the project moves (Save As) and point at the old folder.
    [[nodiscard]] std::string TopicHtmlPath(std::string_view id) const;
    // Topic ids with a path separator, ':', "..", or a control character
    // would reach outside the topics folder; they never become file names.
    [[nodiscard]] static bool IsSafeTopicId(std::string_view id);
};

} // namespace qm
