#pragma once
// The topics a link may reach, asked once for every topic link of every page.
// Ids the program makes (32 upper-case hexadecimal digits) are held as two
// 64-bit numbers in one sorted array, so a lookup compares integers in a
// block of memory instead of following strings; any other id is compared as
// text.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

class TTopicIdSet {
public:
    // The views must outlive the set.
    explicit TTopicIdSet(std::vector<std::string_view> ids);

    // Exactly (case-sensitively) one of the ids.
    [[nodiscard]] bool Contains(std::string_view id) const;

private:
    std::vector<std::pair<std::uint64_t, std::uint64_t>> FPacked;
    std::vector<std::string_view> FOthers;
};

} // namespace qm
