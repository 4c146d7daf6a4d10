#pragma once
// Text from a project (titles, ids, paths, messages) on its way to a terminal
// or a log. A title may hold escape sequences that retitle the window, clear
// the screen or forge lines of output; shown as visible escapes instead, they
// can do none of that and the author can still see what the title holds.
#include <string>
#include <string_view>

namespace qm::cli {

// C0 controls and DEL as \e, \t, \n, \r or \xNN; the C1 controls
// U+0080-U+009F as \u0080-\u009f; a byte that is not part of well-formed
// UTF-8 as \xNN (an 8-bit terminal takes a lone 0x9B for a control).
// Everything else, backslashes included, is copied unchanged: the result is
// for reading, not for parsing back.
[[nodiscard]] std::string TerminalSafe(std::string_view text);

} // namespace qm::cli
