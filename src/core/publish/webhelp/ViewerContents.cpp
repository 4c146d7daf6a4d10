#include "publish/webhelp/ViewerContents.h"

#include "base/Json.h"
#include "base/PathUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"

namespace qm {

std::vector<TViewerContentsRow> ViewerContentsRows(const TDocProject& project) {
    // The same topics as toc.json: published, and with an id that names a file.
    const TContentsWalk walk = WalkContents(
        project, [](const TTopic& t) { return !t.ExcludeWeb && TDocProject::IsSafeTopicId(t.ID); });
    std::vector<TViewerContentsRow> rows;
    rows.reserve(walk.Entries.size());
    for (const TContentsEntry& e : walk.Entries)
        rows.push_back({e.Topic->ID, e.Topic->Title, e.Depth});
    return rows;
}

void WriteViewerContents(const std::vector<TViewerContentsRow>& rows, const std::string& outDir) {
    std::string js = "window.__qzSearch(\"contents\",0,[";
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            js += ',';
        js += JsonQuote(rows[i].Id);
        js += ',';
        js += JsonQuote(rows[i].Title);
        js += ',';
        js += std::to_string(rows[i].Depth);
    }
    js += "]);";
    WriteOutputFile(JoinPath(JoinPath(outDir, "search"), "contents.js"), js);
}

} // namespace qm
