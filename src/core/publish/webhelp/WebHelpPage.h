#pragma once
// One published WebHelp page: its header, the fixes applied to the topic's
// HTML, and the page template around it.
#include "publish/common/PublishCommon.h"

#include <string>
#include <string_view>

namespace qm {

class TDocProject;

using TWebHelpHeader = TPageHeader;

// The default header pair, replaced by the topic's own files where they exist;
// the project title in bold when no header text is left.
[[nodiscard]] TWebHelpHeader LoadTopicHeader(const TDocProject& project, const std::string& id);
// The same from the header files a publish has looked at once.
[[nodiscard]] TWebHelpHeader LoadTopicHeader(const TDocProject& project,
                                             const TPageHeaders& headers, const std::string& id);

// src="assets/ and href="assets/ point one folder up from topics/.
[[nodiscard]] std::string FixWebHelpAssetPaths(std::string_view html);

// Pure white backgrounds become transparent, so the page background shows.
[[nodiscard]] std::string StripWhiteBackgrounds(std::string_view html);

// The page also carries the topic's title (escaped here) and, when pageScript
// is not empty, a reference to the viewer's page script, which lets the page
// talk to the viewer around it. Both go in just before </head>, so every
// other piece keeps its place and order.
[[nodiscard]] std::string BuildWebHelpPage(std::string_view body, std::string_view header,
                                           std::string_view headerBg, std::string_view pageBg,
                                           std::string_view cssHref, std::string_view footer,
                                           std::string_view title = {},
                                           std::string_view pageScript = {});

} // namespace qm
