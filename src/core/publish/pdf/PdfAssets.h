#pragma once
// The project's assets beside the PDF manual, so that the topics' relative
// references (assets/...) resolve against manual.html unchanged.
#include <string>

namespace qm::pdf {

// Copies every file of the tree under source, at every depth, to the same
// relative place under target, replacing files that are there. Only folders
// that hold files are created (target itself always, when source exists);
// nothing happens when source does not exist. Raises EFileError naming the
// file or folder that failed.
void CopyAssetFiles(const std::string& source, const std::string& target);

} // namespace qm::pdf
