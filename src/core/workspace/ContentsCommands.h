#pragma once
// The contents tree's re-ordering commands on the model: up, down, one level
// up, and dropping a dragged topic before, after or into another.
#include <string>

namespace qm {

class TDocProject;

enum class TDropMode { dmBefore, dmAfter, dmChild };

// Each returns false (and changes nothing) when the move does not apply.
bool MoveTopicUp(TDocProject& project, const std::string& id);
bool MoveTopicDown(TDocProject& project, const std::string& id);
bool MoveTopicLevelUp(TDocProject& project, const std::string& id);

// Upper third of the row before, lower third after, the middle a child.
[[nodiscard]] TDropMode DropModeForOffset(int offsetInRow, int rowHeight);
// Not onto itself or anything inside its own subtree.
[[nodiscard]] bool CanDropTopic(const TDocProject& project, const std::string& dragId,
                                const std::string& targetId);
bool DropTopic(TDocProject& project, const std::string& dragId, const std::string& targetId,
               TDropMode mode);

} // namespace qm
