#pragma once
// The values the formatting toolbar reads from its boxes and from the page's
// caret reports, as text rules without any widget.
#include "settings/Color.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace qm {

inline constexpr int kMinFontSizePx = 8;
inline constexpr int kMaxFontSizePx = 200;

// The font size typed into the size box: a decimal integer clamped to 8..200;
// nothing for text that is not a positive integer.
[[nodiscard]] std::optional<int> FontSizeFromBox(std::string_view text);

// The line height from the box's text (or the selected entry when the text is
// empty): "," read as ".", nothing unless positive. The value to send is at
// least 1.
[[nodiscard]] std::optional<double> LineSpacingFromBox(std::string_view text,
                                                       std::string_view selectedCaption);

// The answer to "Rows,Cols": nothing at all without a comma; a pair of zeros
// when either count is not a positive integer (nothing is inserted).
[[nodiscard]] std::optional<std::pair<int, int>> TableSizeFromAnswer(std::string_view answer);

// A caret's colour text: empty or "transparent" is white, "#RRGGBB" that
// colour, anything else (names, rgb(), three digits) keeps current.
[[nodiscard]] TColor ParseCaretColor(std::string_view text, TColor current);

// Two decimals with ".", trailing zeros and point dropped: 1.5, 1, 1.33, 10.
[[nodiscard]] std::string FormatLineHeightRatio(double x);

// A caret's line height as the spacing list writes it: "24px" at 16 px is
// "1.5", never below "1"; other forms are returned trimmed.
[[nodiscard]] std::string CaretLineHeight(std::string_view lineHeight, int fontSizePx);

} // namespace qm
