#pragma once
// One compiled-help page: its header, the fixes applied to the topic's HTML
// for the help viewer (an old Internet Explorer engine), and the page around it.
#include "publish/chm/ChmCodePage.h"
#include "publish/common/PublishCommon.h"

#include <string>
#include <string_view>

namespace qm {
class TDocProject;
class TProjectSettings;
} // namespace qm

namespace qm::chm {

using TChmHeader = TPageHeader;

// The default header pair of meta/, replaced by the topic's own files where
// they exist; the project title in bold when no header text is left.
[[nodiscard]] TChmHeader LoadTopicHeader(const TDocProject& project, const std::string& id);

// The copyright footer of the settings, or "" when it is off or blank.
[[nodiscard]] std::string BuildChmFooter(const TProjectSettings& settings);

// src="assets/ and src="/assets/ (any letter case) point one folder up from
// topics/. Links (href) are left alone.
[[nodiscard]] std::string FixChmAssetPaths(std::string_view html);

// White background colours become transparent so the page background shows.
// Only the background-color forms: the shorthand "background" stays.
[[nodiscard]] std::string StripWhiteBackgrounds(std::string_view html);

// The cells of the first row of the first table get a bgcolor attribute and an
// inline background, because the viewer ignores style sheet rules on them.
[[nodiscard]] std::string ColorFirstTableRow(std::string_view html, std::string_view color);

// A topic title as the text of a page's <title>. The compiler copies that
// text into the compiled file's topic table as it stands, without decoding
// references, so the title is written in plain letters of the code page
// (letters the code page lacks become stand-ins, as in the contents) and
// escaped only where a browser would misread it.
[[nodiscard]] std::string ChmTitleText(TChmCodePage page, std::string_view title);

// The page around a topic's body; `title` is ChmTitleText, `charset` the
// code page's name the page is written in.
[[nodiscard]] std::string BuildChmPage(std::string_view body, std::string_view header,
                                       std::string_view headerBg, std::string_view pageBg,
                                       std::string_view footer, std::string_view title,
                                       std::string_view charset);

// Removes zero-width and soft-hyphen characters, which the viewer draws as
// boxes or stray hyphens.
[[nodiscard]] std::string StripInvisibleCharacters(std::string_view text);

} // namespace qm::chm
