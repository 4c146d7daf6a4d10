#pragma once
// The viewer's search index as one of the export's page consumers.
#include "publish/webhelp/WebHelpData.h"

#include <cstddef>
#include <memory>
#include <string>

namespace qm {

// Feeds the pages to a TWebHelpSearchIndex in publish order as the publishing
// threads finish them, and writes the index's last files on Finish.
[[nodiscard]] std::unique_ptr<TWebHelpPageConsumer>
MakeWebHelpSearchIndexWriter(const std::string& outDir, size_t count);

} // namespace qm
