#include "import/ImportRun.h"

#include <algorithm>

namespace qm {

std::string AdmitFile(TImportRun& run, std::string_view reference, const std::string& path) {
    if (run.CanonicalRoots.empty()) {
        std::vector<std::string> folders = run.ExtraRoots;
        folders.insert(folders.begin(), run.HtmlFolder);
        run.CanonicalRoots = CanonicalFolders(folders);
    }
    const TImportFileVerdict v = JudgeImportFile(path, run.CanonicalRoots);
    switch (v.Kind) {
    case TImportFileVerdict::TKind::Missing:
        return "";
    case TImportFileVerdict::TKind::Copy:
        return v.File;
    case TImportFileVerdict::TKind::Refuse:
        break;
    }
    if (v.Why == TRefusal::Outside && run.AllowedOutside.count(v.File) != 0)
        return v.File;
    const bool known = std::any_of(run.Refused.begin(), run.Refused.end(), [&](const auto& r) {
        return r.Reference == reference && r.Path == v.File;
    });
    if (!known)
        run.Refused.push_back({std::string(reference), v.File, v.Why});
    return "";
}

} // namespace qm
