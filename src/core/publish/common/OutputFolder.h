#pragma once
// Where a publisher may write and what it may delete there. Publishing
// replaces pages and removes the pages of topics no longer published, so a
// folder chosen by mistake (the project's own data folder, a folder of the
// author's own pages) must lose nothing.
#include "publish/common/PublishOptions.h"

#include <string>

namespace qm {

// The file that marks a folder as publishing output; it holds the format's
// name (FormatName).
inline constexpr const char* kOutputMarkerFile = ".quillmate-output";

// Raises EQuillmateError, before anything is written, when outDir is the
// project's data folder, holds it, or lies inside it; the format's default
// folder (DefaultOutDir) is the one folder inside that is allowed. Folders
// are compared as full paths with symbolic links resolved where they exist.
void CheckOutDirOutsideProject(const TDocProject& project, const std::string& outDir,
                               TPublishFormat format);

// Creates outDir and answers whether earlier output may be deleted from it:
// true for a folder that was missing or empty, that holds the mark of an
// earlier publish in this format, or that is the format's default folder;
// such a folder gets the mark. Any other folder is written into but left
// unmarked, so no later publish deletes anything there either.
[[nodiscard]] bool ClaimOutputFolder(const TDocProject& project, const std::string& outDir,
                                     TPublishFormat format);

} // namespace qm
