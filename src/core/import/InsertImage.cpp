#include "import/InsertImage.h"

#include "import/AssetTarget.h"

namespace qm {

std::string CopyImageIntoProject(const std::string& projectRoot, const std::string& imageFile) {
    const TAssetTarget target = PlanImageTarget(projectRoot, imageFile);
    if (!target.Ok)
        return "";
    CopyFileNoOverwrite(imageFile, target.Dest);
    return target.Url;
}

} // namespace qm
