#pragma once
// The contents in reading order, walked without recursion: a tree read from
// disk may be deeper than any call stack, list a topic twice or hold cycles.
#include <functional>
#include <string>
#include <vector>

namespace qm {

class TDocProject;
class TTopic;

struct TContentsEntry {
    const TTopic* Topic = nullptr;
    int Depth = 0; // 0 for a top-level topic
};

struct TContentsWalk {
    std::vector<TContentsEntry> Entries; // depth first, each topic once
    // One line per topic that the tree lists more than once (twice in one
    // list, under two parents, or in a cycle).
    std::vector<std::string> Warnings;
};

// Every topic the contents reach, at its first place only; ids that name no
// topic are skipped. A topic for which include answers false is left out with
// everything below it.
[[nodiscard]] TContentsWalk WalkContents(const TDocProject& project,
                                         const std::function<bool(const TTopic&)>& include = {});

} // namespace qm
