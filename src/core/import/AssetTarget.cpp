#include "import/AssetTarget.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

struct TExtensionFolder {
    std::string_view Ext;
    std::string_view Folder;
    std::string_view UrlFolder;
};

constexpr TExtensionFolder kFoldersByExtension[] = {
    {".png", "assets\\images", "assets/images"},  {".jpg", "assets\\images", "assets/images"},
    {".jpeg", "assets\\images", "assets/images"}, {".gif", "assets\\images", "assets/images"},
    {".bmp", "assets\\images", "assets/images"},  {".webp", "assets\\images", "assets/images"},
    {".svg", "assets\\images", "assets/images"},  {".ico", "assets\\images", "assets/images"},
    {".avif", "assets\\images", "assets/images"}, {".woff", "assets\\fonts", "assets/fonts"},
    {".woff2", "assets\\fonts", "assets/fonts"},  {".ttf", "assets\\fonts", "assets/fonts"},
    {".otf", "assets\\fonts", "assets/fonts"},    {".eot", "assets\\fonts", "assets/fonts"},
    {".mp4", "assets\\media", "assets/media"},    {".webm", "assets\\media", "assets/media"},
    {".ogv", "assets\\media", "assets/media"},    {".mp3", "assets\\media", "assets/media"},
    {".wav", "assets\\media", "assets/media"},    {".ogg", "assets\\media", "assets/media"},
    {".m4a", "assets\\media", "assets/media"},    {".css", "assets\\css", "assets/css"},
};

// The copy's name goes into a URL unencoded, where these three would start a
// fragment, a query or an escape.
std::string UrlSafeNamePart(std::string_view text) {
    std::string r(text);
    for (char& c : r)
        if (c == '#' || c == '?' || c == '%')
            c = '_';
    return r;
}

bool IsTaken(const std::string& path, TReservedPaths* reserved) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(fs::path(path), ec)))
        return true;
    return reserved != nullptr && reserved->Paths.count(path) != 0;
}

} // namespace

TAssetTarget PlanAssetTarget(std::string_view root, std::string_view source,
                             std::string_view folder, std::string_view urlFolder,
                             TReservedPaths* reserved) {
    if (root.empty() || source.empty() || folder.empty() || urlFolder.empty())
        return {};
    const std::string dir = JoinPath(root, folder);
    CreateDirs(dir);
    const std::string fileName = ExtractFileName(source);
    const std::string ext = UrlSafeNamePart(ExtractFileExt(fileName));
    const std::string name = UrlSafeNamePart(fileName.substr(0, fileName.size() - ext.size()));
    std::string candidate = name + ext;
    std::string dest = JoinPath(dir, candidate);
    if (IsTaken(dest, reserved)) {
        // The numbers below the run's counter were taken when it last looked.
        int* next = reserved != nullptr ? &reserved->NextNumber.try_emplace(dest, 2).first->second
                                        : nullptr;
        int n = next != nullptr ? *next : 2;
        for (;; ++n) {
            candidate = name + "_" + std::to_string(n) + ext;
            dest = JoinPath(dir, candidate);
            if (!IsTaken(dest, reserved))
                break;
        }
        if (next != nullptr)
            *next = n + 1;
    }
    TAssetTarget t;
    t.Ok = true;
    t.Url = std::string(urlFolder) + "/" + candidate;
    t.Dest = std::move(dest);
    return t;
}

TAssetTarget PlanImageTarget(std::string_view root, std::string_view source,
                             TReservedPaths* reserved) {
    return PlanAssetTarget(root, source, "assets\\images", "assets/images", reserved);
}

TAssetTarget PlanCssTarget(std::string_view root, std::string_view source,
                           TReservedPaths* reserved) {
    return PlanAssetTarget(root, source, "assets\\css", "assets/css", reserved);
}

TAssetTarget PlanImportTarget(std::string_view root, std::string_view source,
                              TReservedPaths* reserved) {
    const std::string ext = AsciiLower(ExtractFileExt(source));
    for (const auto& row : kFoldersByExtension)
        if (row.Ext == ext)
            return PlanAssetTarget(root, source, row.Folder, row.UrlFolder, reserved);
    return PlanAssetTarget(root, source, "assets\\files", "assets/files", reserved);
}

} // namespace qm
