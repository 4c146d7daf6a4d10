#include "import/CssRewrite.h"

#include "base/AtomicFile.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "import/AnsiText.h"
#include "import/AssetTarget.h"
#include "import/ImportPaths.h"
#include "import/ImportRegex.h"
#include "import/ImportRun.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace qm {

namespace {

// @import url("a.css") screen;  @import 'b.css';  @import url(c.css) print;
// Groups 1-3: the url() forms, 4-5: the quoted forms, 6: the media list.
const TRegex& ImportRule() {
    static const TRegex re(
        R"re(@import\s+(?:url\(\s*(?:"([^"]*)"|'([^']*)'|([^\)\s]+))\s*\)|"([^"]*)"|'([^']*)')([^;]*);)re",
        kImportMatching);
    return re;
}

// url("a.png"), url('a.png'), url( a.png )
const TRegex& UrlFunction() {
    static const TRegex re(R"re(url\(\s*(?:"([^"]*)"|'([^']*)'|([^\)\s]+))\s*\))re",
                           kImportMatching);
    return re;
}

const TRegex& DisplayFlex() {
    static const TRegex re(R"(display\s*:\s*(inline-)?flex\b)", kImportMatching);
    return re;
}

const TRegex& DisplayGrid() {
    static const TRegex re(R"(display\s*:\s*(inline-)?grid\b)", kImportMatching);
    return re;
}

// The file a reference of a style sheet names that the run may copy, or
// empty when it names none or one the run refuses.
std::string AdmittedCssFile(std::string_view url, std::string_view cssFolder, TImportRun& run) {
    if (IsExternalReference(url))
        return "";
    return AdmitFile(run, url, ResolveCssPath(url, cssFolder));
}

} // namespace

std::string CssEscapeUrl(std::string_view text) {
    return ReplaceAll(ReplaceAll(text, "\\", "/"), "\"", "\\\"");
}

std::string NeutraliseFlexGrid(std::string_view css) {
    const auto block = [](const TRegexMatch&) { return std::string("display: block"); };
    return DisplayGrid().Replace(DisplayFlex().Replace(css, block), block);
}

std::optional<std::string> CopyStyleSheetOnce(const std::string& fullPath, TImportRun& run) {
    if (auto it = run.StyleSheetUrls.find(fullPath); it != run.StyleSheetUrls.end())
        return it->second;
    if (run.Survey) {
        // Only read for the files it names; the path stands in for the URL.
        run.StyleSheetUrls.emplace(fullPath, fullPath);
        CopyCssWithRewrite(fullPath, "", run);
        return fullPath;
    }
    const TAssetTarget target = PlanCssTarget(run.ProjectRoot, fullPath, &run.Reserved);
    if (!target.Ok)
        return std::nullopt;
    // Recorded before the sheet is read, so sheets that import each other
    // end instead of looping.
    run.StyleSheetUrls.emplace(fullPath, target.Url);
    run.Reserved.Paths.insert(target.Dest);
    CopyCssWithRewrite(fullPath, target.Dest, run);
    return target.Url;
}

void CopyCssWithRewrite(const std::string& source, const std::string& dest, TImportRun& run) {
    const std::string cssFolder = ExtractFileDir(source);
    std::string css = ReadTextFileUtf8OrAnsi(source);

    // The @import targets are parked behind placeholders so that the url()
    // pass below does not treat them as files to copy.
    std::vector<std::pair<std::string, std::string>> placeholders;
    css = ImportRule().Replace(css, [&](const TRegexMatch& m) {
        const std::string url(FirstMatchedGroup(m, 1, 5));
        std::string newUrl = url;
        if (const std::string path = AdmittedCssFile(url, cssFolder, run); !path.empty()) {
            const std::string target = CopyStyleSheetOnce(path, run).value_or(url);
            // Both sheets lie in assets/css, so the bare name reaches it.
            newUrl = StartsWithAsciiNoCase(target, "assets/css/") ? target.substr(11) : target;
        }
        std::string placeholder = "__QM_IMPORT_URL_" + std::to_string(placeholders.size()) + "__";
        const std::string media = m.Matched(6) ? TrimCtl(m.Group(6)) : std::string();
        std::string rule = "@import url(\"" + placeholder + "\")";
        if (!media.empty())
            rule += " " + media;
        placeholders.emplace_back(std::move(placeholder), CssEscapeUrl(newUrl));
        return rule + ";";
    });

    css = UrlFunction().Replace(css, [&](const TRegexMatch& m) {
        std::string newUrl(FirstMatchedGroup(m, 1, 3));
        const bool isPlaceholder = std::any_of(placeholders.begin(), placeholders.end(),
                                               [&](const auto& p) { return p.first == newUrl; });
        if (!isPlaceholder) {
            const std::string path = AdmittedCssFile(newUrl, cssFolder, run);
            if (!path.empty() && !run.Survey) {
                if (const auto it = run.CssFileNames.find(path); it != run.CssFileNames.end()) {
                    newUrl = it->second;
                } else {
                    const TAssetTarget target = PlanCssTarget(run.ProjectRoot, path, &run.Reserved);
                    if (target.Ok) {
                        CopyToNewFileAtomically(path, target.Dest);
                        newUrl = ExtractFileName(target.Dest);
                        run.CssFileNames.emplace(path, newUrl);
                    }
                }
            }
        }
        return "url(\"" + CssEscapeUrl(newUrl) + "\")";
    });

    if (run.Survey)
        return;
    for (const auto& [placeholder, url] : placeholders)
        css = ReplaceAll(css, placeholder, url);
    WriteNewFileAtomically(dest, "\xEF\xBB\xBF" + NeutraliseFlexGrid(css));
}

} // namespace qm
