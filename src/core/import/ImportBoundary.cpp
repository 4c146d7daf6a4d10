#include "import/ImportBoundary.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

bool IsHiddenName(const fs::path& name) {
    const std::string s = name.string();
    return s.size() > 1 && s[0] == '.' && s != "..";
}

// The part of path below root, or nothing when path does not lie below it.
std::optional<fs::path> PartBelow(const fs::path& path, const fs::path& root) {
    auto r = root.begin();
    auto p = path.begin();
    for (; r != root.end(); ++r, ++p) {
        if (r->empty())
            continue; // the empty last element of a root with a trailing separator
        if (p == path.end() || *p != *r)
            return std::nullopt;
    }
    fs::path below;
    for (; p != path.end(); ++p)
        below /= *p;
    return below;
}

} // namespace

std::string_view RefusalText(TRefusal why) {
    switch (why) {
    case TRefusal::Outside:
        return "outside the page's folder";
    case TRefusal::Hidden:
        return "a hidden file";
    case TRefusal::NotRegularFile:
        return "not a regular file";
    }
    return "";
}

std::vector<fs::path> CanonicalFolders(const std::vector<std::string>& folders) {
    std::vector<fs::path> roots;
    for (const std::string& f : folders) {
        if (f.empty())
            continue;
        std::error_code ec;
        const fs::path c = fs::canonical(fs::path(f), ec);
        if (!ec && fs::is_directory(c, ec))
            roots.push_back(c);
    }
    return roots;
}

TImportFileVerdict JudgeImportFile(const std::string& path, const std::vector<fs::path>& roots) {
    using TKind = TImportFileVerdict::TKind;
    std::error_code ec;
    if (path.empty() || !fs::exists(fs::symlink_status(fs::path(path), ec)))
        return {};
    const auto refuse = [&](TRefusal why, std::string file) {
        return TImportFileVerdict{TKind::Refuse, std::move(file), why};
    };
    const fs::path file = fs::canonical(fs::path(path), ec);
    if (ec || !fs::is_regular_file(file, ec))
        return refuse(TRefusal::NotRegularFile, ec ? path : file.string());
    std::optional<fs::path> below;
    for (const fs::path& root : roots)
        if ((below = PartBelow(file, root)))
            break;
    // Outside every root, any hidden folder on the way counts ("~/.ssh/x"):
    // such a file is not offered to the author as one to copy.
    const fs::path& checked = below ? *below : file;
    const bool hidden = std::any_of(checked.begin(), checked.end(), IsHiddenName) ||
                        IsHiddenName(fs::path(path).filename());
    if (hidden)
        return refuse(TRefusal::Hidden, file.string());
    if (!below)
        return refuse(TRefusal::Outside, file.string());
    return {TKind::Copy, file.string(), TRefusal::Outside};
}

} // namespace qm
