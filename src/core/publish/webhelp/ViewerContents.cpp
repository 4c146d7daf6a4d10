#include "publish/webhelp/ViewerContents.h"

#include "base/Json.h"
#include "base/OutputStream.h"
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
    TOutputStream js(JoinPath(JoinPath(outDir, "search"), "contents.js"),
                     "window.__qzSearch(\"contents\",0,[");
    std::string row;
    for (size_t i = 0; i < rows.size(); ++i) {
        row.clear();
        if (i > 0)
            row += ',';
        AppendJsonQuoted(row, rows[i].Id);
        row += ',';
        AppendJsonQuoted(row, rows[i].Title);
        row += ',';
        row += std::to_string(rows[i].Depth);
        js.Append(row);
    }
    js.Append("]);");
    js.Close();
}

} // namespace qm
