#pragma once
// The project's assets beside the PDF manual, so that the topics' relative
// references (assets/...) resolve against manual.html unchanged.
#include <string>
#include <vector>

namespace qm::pdf {

// Copies every file of the tree under source, at every depth, to the same
// relative place under target, replacing files that are there. Only folders
// that hold files are created (target itself always, when source exists);
// nothing happens when source does not exist. Links are followed only while
// they stay inside boundary, the project's data folder; what is left out is
// said in warnings (see ListPublishedAssets). Raises EFileError naming the
// file or folder that failed.
void CopyAssetFiles(const std::string& source, const std::string& target,
                    const std::string& boundary, std::vector<std::string>& warnings);

} // namespace qm::pdf
