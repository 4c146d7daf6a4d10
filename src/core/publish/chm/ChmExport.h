#pragma once
// Publishing a project as a compiled help file (help.chm): the pages, style
// sheet and assets in Windows-1251 for the help viewer, the contents, index
// and project files, and the run of the help compiler.
//
// Entry point for the command-line tool and the desktop command:
//
//     qm::chm::TChmPublishResult r = qm::chm::PublishChm(project, options);
//     // r.ChmFile: full path of help.chm; r.Warnings: lines to show the author
//
// It raises EQuillmateError "CHM export failed: ..." on any failure, and
// EChmCancelled when options.Cancelled asked to stop. The caller saves the
// project first (the desktop command), reports "CHM exported: " + r.ChmFile
// and opens it.
#include "publish/chm/ChmCancel.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::chm {

struct TChmExportOptions {
    // The output folder; empty: "build/chm" under the project's data folder.
    std::string OutDir;
    // The compiler to run; empty: FindHtmlHelpCompiler().
    std::string CompilerPath;
    // Pages written so far and their total; called on the calling thread.
    std::function<void(size_t done, size_t total)> Progress;
    // Polled between pages and while the compiler runs.
    TCancelCheck Cancelled;
};

struct TChmPublishResult {
    std::string ChmFile;               // full path of the help.chm this run wrote
    std::vector<std::string> Warnings; // skipped topics, photos left as they were, the compiler's
    size_t PagesWritten = 0;
    size_t StalePagesRemoved = 0; // pages of deleted or excluded topics from earlier runs
};

// Writes the output folder and compiles help.chm. The old help.chm is deleted
// first; success needs the compiler's exit code for success and a non-empty
// help.chm from this run. Raises EQuillmateError on failure with the error's
// own text (the compiler's error lines for a failed compilation), and
// EChmCancelled.
TChmPublishResult ExportChm(const TDocProject& project, const TChmExportOptions& options = {});

// ExportChm for a command: on Windows it first closes running help viewers
// (hh.exe), which would hold help.chm open; errors come back as
// EQuillmateError "CHM export failed: " + the error's text.
TChmPublishResult PublishChm(const TDocProject& project, const TChmExportOptions& options = {});

} // namespace qm::chm
