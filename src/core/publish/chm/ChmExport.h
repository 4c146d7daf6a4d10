#pragma once
// Publishing a project as a compiled help file (help.chm): the pages, style
// sheet and assets for the help viewer, the contents, index and project
// files in the code page the titles need (Windows-1251 or Windows-1252), and
// the run of the help compiler.
#include "publish/common/PublishOptions.h"

namespace qm {

// Writes the output folder and compiles help.chm (the result's OutputFile).
// On Windows it first closes running help viewers (hh.exe), which would hold
// help.chm open. The old help.chm is deleted before the compiler runs;
// success needs the compiler's exit code for success and a non-empty
// help.chm from this run. Failures are EQuillmateError "CHM export failed: "
// + the reason (the compiler's error lines for a failed compilation); a stop
// on request is EPublishCancelled.
[[nodiscard]] TPublishResult PublishChm(const TDocProject& project, const TPublishOptions& options);

} // namespace qm
