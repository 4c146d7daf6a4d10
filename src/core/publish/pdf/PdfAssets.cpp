#include "publish/pdf/PdfAssets.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/SystemError.h"
#include "publish/common/AssetTree.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm::pdf {

void CopyAssetFiles(const std::string& source, const std::string& target,
                    const std::string& boundary, std::vector<std::string>& warnings) {
    if (!DirectoryExists(source))
        return;
    const fs::path to(target);
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec)
        throw EFileError("Cannot create folder \"" + target + "\": " + SystemErrorText(ec));
    for (const TAssetEntry& e : ListPublishedAssets(source, boundary, warnings)) {
        if (e.Folder)
            continue; // only folders that hold files appear, made for them below
        const fs::path dest = to / e.Relative;
        fs::create_directories(dest.parent_path(), ec);
        if (!ec)
            fs::copy_file(e.From, dest, fs::copy_options::overwrite_existing, ec);
        if (ec)
            throw EFileError("Cannot copy \"" + (fs::path(source) / e.Relative).string() +
                             "\" to \"" + dest.string() + "\": " + SystemErrorText(ec));
    }
}

} // namespace qm::pdf
