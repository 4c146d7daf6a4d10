#pragma once
// Which topics the compiled help holds.
#include "model/DocModel.h"
#include "publish/common/PublishCommon.h"

#include <string_view>

namespace qm::chm {

// An id that can name a page file and stand in a URL and in the project
// file: a page file name (IsPageFileId: no separators, no "..", not too
// long) without the characters paths reject (" < > | * ?) or that change a
// URL's meaning (# % &).
[[nodiscard]] inline bool IsChmPageId(std::string_view id) {
    return IsPageFileId(id) && id.find_first_of("\"<>|*?#%&") == std::string_view::npos;
}

// Not excluded from CHM, and with an id that can name its page. Topics with
// other ids are left out everywhere (pages, contents, index, links to them).
[[nodiscard]] inline bool IsPublishedToChm(const TTopic& topic) {
    return !topic.ExcludeChm && IsChmPageId(topic.ID);
}

} // namespace qm::chm
