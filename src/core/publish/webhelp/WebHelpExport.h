#pragma once
// Publishing a project as a WebHelp site: pages, style sheet, assets,
// contents, search data and search index, and the viewer from the templates.
#include "publish/common/PublishOptions.h"

namespace qm {

// Writes the site into the output folder: the viewer (index.html, app.js,
// app.css and page.js from options.ProgramDataDir's AppFiles/webhelp, filled in from the
// project's settings and titled with the project's title; index.html is the
// result's OutputFile), the pages, style.css, assets, contents and search
// data. Pages of topics that this run did not write are removed from the
// topics folder. Raises EFileError before writing anything when the viewer's
// templates are missing, and EPublishCancelled when asked to stop.
[[nodiscard]] TPublishResult PublishWebHelp(const TDocProject& project,
                                            const TPublishOptions& options);

} // namespace qm
