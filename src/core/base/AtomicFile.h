#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Writes bytes to a temporary file beside fileName, flushes it to disk (when
// durable) and renames it over fileName. On failure the target is untouched,
// the temporary file is removed, false is returned and error says why.
// Publishing output, which can be regenerated, skips the flush for speed.
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error,
                           bool durable = true);
// The same with the content given in pieces, written one after another.
bool ReplaceFileAtomically(const std::string& fileName, const std::vector<std::string_view>& parts,
                           std::string& error, bool durable = true);

} // namespace qm
