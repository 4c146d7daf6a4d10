#pragma once
// Publishing in any of the three formats through one call, for callers that
// let the author or a script choose the format.
#include "publish/common/PublishOptions.h"

namespace qm {

// PublishWebHelp, PublishChm or PublishPdf, as format says.
[[nodiscard]] TPublishResult Publish(TPublishFormat format, const TDocProject& project,
                                     const TPublishOptions& options);

} // namespace qm
