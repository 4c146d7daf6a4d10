#pragma once
#include <string>
#include <string_view>

namespace qm {

// Writes bytes to a temporary file beside fileName, flushes it to disk and
// renames it over fileName. On failure the target is untouched, the
// temporary file is removed, false is returned and error says why.
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error);

} // namespace qm
