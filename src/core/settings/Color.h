#pragma once
// Colour values as the project files hold them: 0x00BBGGRR, red in the lowest
// byte. A highest byte of 0xFF names a system colour, resolved before use.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

using TColor = std::uint32_t;

// "#RRGGBB" with upper-case hex digits.
[[nodiscard]] std::string ColorToHtml(TColor color);
// Reads "#" and six hex digits (blanks around allowed); fallback otherwise.
[[nodiscard]] TColor HtmlToColor(std::string_view text, TColor fallback);
// The RGB value of a system colour (0xFF in the highest byte); others unchanged.
[[nodiscard]] TColor ResolveSystemColor(TColor color);

} // namespace qm
