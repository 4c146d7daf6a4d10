#include "import/InsertImage.h"

#include "base/AtomicFile.h"
#include "import/AssetTarget.h"

#include <filesystem>

namespace qm {

std::string CopyImageIntoProject(const std::string& projectRoot, const std::string& imageFile) {
    const TAssetTarget target = PlanImageTarget(projectRoot, imageFile);
    if (!target.Ok)
        return "";
    // The author chose this file, so a link to it is followed; a copy that is
    // cut short never stands under the real name.
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(imageFile, ec);
    CopyToNewFileAtomically(ec ? imageFile : real.string(), target.Dest);
    return target.Url;
}

} // namespace qm
