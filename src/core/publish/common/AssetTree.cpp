#include "publish/common/AssetTree.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/SystemError.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

bool IsInside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty())
            continue;
        if (p == path.end() || *p != *f)
            return false;
    }
    return true;
}

class TAssetWalk final {
public:
    TAssetWalk(fs::path boundary, std::vector<std::string>& warnings)
        : FBoundary(std::move(boundary)), FWarnings(warnings) {}

    // dir is canonical.
    void Folder(const fs::path& dir, const fs::path& relative) {
        FChain.push_back(dir);
        std::error_code ec;
        std::vector<fs::directory_entry> entries;
        for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
             it.increment(ec))
            entries.push_back(*it);
        if (ec)
            throw EFileError("Cannot read folder \"" + dir.string() + "\": " + SystemErrorText(ec));
        for (const fs::directory_entry& e : entries)
            Entry(e, relative / e.path().filename());
        FChain.pop_back();
    }

    std::vector<TAssetEntry> Entries;

private:
    void Entry(const fs::directory_entry& e, const fs::path& relative) {
        if (IsTemporaryFileName(e.path().filename().string()))
            return; // the leftover of a write that was cut short
        std::error_code ec;
        fs::path from = e.path();
        if (e.is_symlink(ec)) {
            const fs::path target = fs::read_symlink(from, ec);
            from = fs::canonical(e.path(), ec);
            if (ec || !IsInside(from, FBoundary)) {
                FWarnings.push_back("Not published: \"" + e.path().string() + "\" is a link to \"" +
                                    target.string() + "\", which is not a file of the project");
                return;
            }
        }
        const fs::file_status st = fs::status(from, ec);
        if (fs::is_directory(st)) {
            const fs::path folder = fs::canonical(from, ec);
            // A link to a folder the walk is in, or above it, would never end.
            const bool loops = std::any_of(FChain.begin(), FChain.end(),
                                           [&](const fs::path& f) { return IsInside(f, folder); });
            if (ec || loops)
                return;
            Entries.push_back({from, relative, true});
            Folder(folder, relative);
        } else if (fs::is_regular_file(st)) {
            Entries.push_back({from, relative, false});
        } else {
            FWarnings.push_back("Not published: \"" + e.path().string() +
                                "\" is not a regular file");
        }
    }

    fs::path FBoundary;
    std::vector<std::string>& FWarnings;
    std::vector<fs::path> FChain; // the folders being walked, outermost first
};

} // namespace

std::vector<TAssetEntry> ListPublishedAssets(const std::string& source, const std::string& boundary,
                                             std::vector<std::string>& warnings) {
    std::error_code ec;
    fs::path root = fs::canonical(fs::path(boundary), ec);
    if (ec)
        root = fs::path(boundary).lexically_normal();
    TAssetWalk walk(root, warnings);
    const fs::path start = fs::canonical(fs::path(source), ec);
    if (ec)
        throw EFileError("Cannot read folder \"" + source + "\": " + SystemErrorText(ec));
    if (!IsInside(start, root)) {
        warnings.push_back("Not published: \"" + source + "\" leads to \"" + start.string() +
                           "\", which is not a folder of the project");
        return {};
    }
    walk.Folder(start, fs::path());
    return std::move(walk.Entries);
}

} // namespace qm
