#include "publish/common/TopicIdSet.h"

#include <algorithm>

namespace qm {

namespace {

// The id as a 128-bit number, when it is 32 digits 0-9 A-F; lower-case
// digits are another id and stay text.
bool Pack(std::string_view id, std::pair<std::uint64_t, std::uint64_t>& out) {
    if (id.size() != 32)
        return false;
    std::uint64_t half[2] = {0, 0};
    for (size_t i = 0; i < 32; ++i) {
        const char c = id[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        half[i / 16] = half[i / 16] << 4 | digit;
    }
    out = {half[0], half[1]};
    return true;
}

} // namespace

TTopicIdSet::TTopicIdSet(std::vector<std::string_view> ids) {
    FPacked.reserve(ids.size());
    for (std::string_view id : ids) {
        std::pair<std::uint64_t, std::uint64_t> packed;
        if (Pack(id, packed))
            FPacked.push_back(packed);
        else
            FOthers.push_back(id);
    }
    std::sort(FPacked.begin(), FPacked.end());
    std::sort(FOthers.begin(), FOthers.end());
}

bool TTopicIdSet::Contains(std::string_view id) const {
    std::pair<std::uint64_t, std::uint64_t> packed;
    if (Pack(id, packed))
        return std::binary_search(FPacked.begin(), FPacked.end(), packed);
    return std::binary_search(FOthers.begin(), FOthers.end(), id);
}

} // namespace qm
