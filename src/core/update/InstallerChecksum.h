#pragma once
// The SHA-256 the update server publishes beside its installer, in the form
// sha256sum writes ("<64 hex digits>  quillmate.exe") or the digits alone.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// The digest in lower-case hex, or nothing when the text does not start with
// one (an error page, a truncated file, another hash).
[[nodiscard]] std::optional<std::string> ParsePublishedSha256(std::string_view text);

// Whether the published digest (as parsed above) names the same bytes as the
// computed one (hex, either case).
[[nodiscard]] bool Sha256Matches(std::string_view published, std::string_view computedHex);

} // namespace qm
