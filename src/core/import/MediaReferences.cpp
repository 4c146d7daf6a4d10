#include "import/MediaReferences.h"

#include "base/AtomicFile.h"
#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "import/AssetTarget.h"
#include "import/ImportPaths.h"
#include "import/ImportRegex.h"
#include "import/ImportRun.h"
#include "import/TagAttribute.h"

#include <algorithm>

namespace qm {

namespace {

// <img class="x" src="a.png" ...: group 1 is the tag up to the value, groups
// 2-4 the value in double quotes, single quotes or bare.
const TRegex& MediaSource() {
    static const TRegex re(
        R"re((<(?:img|source|video|audio|track|embed|object|iframe)\b[^>]*?\b(?:src|poster|data)\s*=\s*)(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re",
        kImportMatching);
    return re;
}

const TRegex& MediaSrcset() {
    static const TRegex re(
        R"re((<(?:img|source)\b[^>]*?\bsrcset\s*=\s*)(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re",
        kImportMatching);
    return re;
}

template <typename TRewrite>
std::string RewriteAttributeValues(std::string_view html, const TRegex& re, TRewrite rewrite) {
    return re.Replace(html, [&](const TRegexMatch& m) {
        const std::string value = DecodeAttributeValue(FirstMatchedGroup(m, 2, 4));
        return std::string(m.Group(1)) + "\"" + HtmlEncode(rewrite(value)) + "\"";
    });
}

} // namespace

std::string RewriteAssetReference(std::string_view value, TImportRun& run) {
    if (IsExternalReference(value))
        return std::string(value);
    const std::string file = AdmitFile(run, value, ResolveImportPath(value, run.HtmlFolder));
    if (file.empty() || run.Survey)
        return std::string(value);
    if (auto it = run.MediaUrls.find(file); it != run.MediaUrls.end())
        return it->second;
    const TAssetTarget target = PlanImportTarget(run.ProjectRoot, file, &run.Reserved);
    if (!target.Ok)
        return std::string(value);
    CopyToNewFileAtomically(file, target.Dest);
    run.MediaUrls.emplace(file, target.Url);
    return target.Url;
}

std::string RewriteSrcset(std::string_view value, TImportRun& run) {
    std::string out;
    size_t pos = 0;
    while (pos <= value.size()) {
        const size_t comma = std::min(value.find(',', pos), value.size());
        const std::string part = TrimCtl(value.substr(pos, comma - pos));
        pos = comma + 1;
        if (part.empty())
            continue;
        const size_t space = part.find(' ');
        const std::string url = part.substr(0, space);
        const std::string descriptor =
            space == std::string::npos ? std::string() : TrimCtl(part.substr(space));
        if (!out.empty())
            out += ", ";
        out += RewriteAssetReference(url, run);
        if (!descriptor.empty())
            out += " " + descriptor;
    }
    return out;
}

std::string RewriteMediaReferences(std::string_view body, TImportRun& run) {
    const std::string withSources = RewriteAttributeValues(
        body, MediaSource(), [&](const std::string& v) { return RewriteAssetReference(v, run); });
    return RewriteAttributeValues(withSources, MediaSrcset(),
                                  [&](const std::string& v) { return RewriteSrcset(v, run); });
}

} // namespace qm
