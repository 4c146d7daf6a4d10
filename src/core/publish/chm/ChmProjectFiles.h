#pragma once
// The three text files the help compiler reads: the contents (toc.hhc), the
// index (index.hhk) and the project (project.hhp). All are written in the
// code page chosen for the compiled file, with CR LF after every line, the
// last one included.
#include "publish/chm/ChmCodePage.h"

#include <string>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::chm {

// toc.hhc: the contents tree from the root list down, leaving out topics not
// published to CHM together with their subtrees. Titles are HTML-escaped.
// Returns a warning per topic the tree lists more than once.
[[nodiscard]] std::vector<std::string>
WriteChmContents(const TDocProject& project, const std::string& outDir, TChmCodePage page);

// index.hhk: every published topic under its title and under each of its
// index entries, in the order of the topic dictionary.
void WriteChmIndex(const TDocProject& project, const std::string& outDir, TChmCodePage page);

// project.hhp: options (with the language of the code page and, when it is
// not blank, the help's title as the viewer's caption), then the files: toc.hhc, index.hhk, the
// pages in pageList order ("topics/ID.html"), style.css and every file of outDir/assets (sorted by
// name, folders where they sort). The first page is the default topic; an empty pageList raises
// EQuillmateError.
void WriteChmProject(const std::string& outDir, const std::string& compiledFile,
                     const std::vector<std::string>& pageList, const std::string& title,
                     TChmCodePage page);

} // namespace qm::chm
