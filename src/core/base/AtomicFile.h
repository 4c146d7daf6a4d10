#pragma once
// Files that appear whole or not at all: the bytes go to a temporary file
// beside the target ("<target>.tmp-XXXXXX") which is renamed into place, so
// a crash or a kill never leaves a truncated file under the real name.
#include <string>
#include <string_view>

namespace qm {

// Writes bytes to a temporary file beside fileName, flushes it to disk and
// renames it over fileName. On failure the target is untouched, the
// temporary file is removed, false is returned and error says why.
bool ReplaceFileAtomically(const std::string& fileName, std::string_view bytes, std::string& error);

// Creates dest holding the bytes of the regular file source, the same way;
// an existing dest is never replaced. A source that is a symbolic link is
// refused. Raises EFileError naming the file and the real cause.
void CopyToNewFileAtomically(const std::string& source, const std::string& dest);

// Creates fileName holding exactly these bytes, the same way; an existing
// file is never replaced. Raises EFileError naming the file and the cause.
void WriteNewFileAtomically(const std::string& fileName, std::string_view bytes);

// True for the names the temporary files above receive.
[[nodiscard]] bool IsTemporaryFileName(std::string_view name);

// Removes the temporary files a killed write left in folder and its
// sub-folders (links are not followed). Only for a caller that knows no
// write is running there, such as the holder of the project's lock.
// Returns how many went.
size_t RemoveTemporaryFiles(const std::string& folder);

} // namespace qm
