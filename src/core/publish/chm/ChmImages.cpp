#include "publish/chm/ChmImages.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "publish/chm/ChmTopics.h"
#include "publish/chm/JpegOrientation.h"

#include <unordered_set>

namespace qm::chm {

namespace {

// The white space of the pattern class \s: space, tab, LF, VT, FF, CR.
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// A path under assets/ with a .jpg or .jpeg extension and no ".." segment,
// relative to the output folder ("assets/images/a.jpg"); "" otherwise.
std::string PhotoReference(std::string_view src) {
    std::string ref = TrimCtl(src);
    if (StartsWithAsciiNoCase(ref, "/assets/"))
        ref.erase(0, 1);
    else if (!StartsWithAsciiNoCase(ref, "assets/"))
        return "";
    const size_t lastSegment = ref.rfind('/') + 1;
    const size_t dot = ref.rfind('.');
    if (dot == std::string::npos || dot < lastSegment)
        return "";
    const std::string ext = AsciiLower(ref.substr(dot));
    if (ext != ".jpg" && ext != ".jpeg")
        return "";
    // Only copies inside the output folder may be rewritten; "assets/../../x"
    // would reach the project's own files.
    const std::string wrapped = "/" + ReplaceAll(ref, "\\", "/") + "/";
    if (wrapped.find("/../") != std::string::npos)
        return "";
    return ref;
}

} // namespace

std::vector<std::string> CollectSrcValues(std::string_view html) {
    // Scans like the pattern src\s*=\s*["']([^"']+)["'] (any letter case):
    // src="a.jpg", SRC = 'b.png'; the closing quote may be of either kind.
    std::vector<std::string> values;
    size_t at = FindAsciiNoCase(html, "src");
    while (at != std::string_view::npos) {
        size_t i = at + 3;
        while (i < html.size() && IsSpace(html[i]))
            ++i;
        bool matched = false;
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsSpace(html[i]))
                ++i;
            if (i < html.size() && IsQuote(html[i])) {
                const size_t start = i + 1;
                size_t end = start;
                while (end < html.size() && !IsQuote(html[end]))
                    ++end;
                if (end < html.size() && end > start) {
                    values.emplace_back(html.substr(start, end - start));
                    at = FindAsciiNoCase(html, "src", end + 1);
                    matched = true;
                }
            }
        }
        if (!matched)
            at = FindAsciiNoCase(html, "src", at + 1);
    }
    return values;
}

std::vector<std::string> NormalizeChmImages(const TDocProject& project, const std::string& outDir) {
    std::vector<std::string> warnings;
    std::unordered_set<std::string> handled;
    for (const TTopic& topic : project.Topics) {
        if (!IsPublishedToChm(topic))
            continue;
        const std::string page = project.TopicHtmlPath(topic.ID);
        if (!FileExists(page))
            continue;
        // The stored text: a photo that only a snippet shows is not looked at.
        for (const std::string& src : CollectSrcValues(ReadTextFileUtf8(page))) {
            const std::string ref = PhotoReference(src);
            if (ref.empty())
                continue;
            std::string file;
            try {
                file = JoinPath(outDir, ReplaceAll(ref, "/", "\\"));
            } catch (const EInvalidPath&) {
                continue; // a name no copied file can have
            }
            if (!FileExists(file) || !handled.insert(file).second)
                continue;
            const int orientation = ReadJpegOrientation(file);
            if (orientation != 3 && orientation != 6 && orientation != 8)
                continue;
            try {
                NormalizeJpegOrientation(file);
            } catch (const std::exception& e) {
                warnings.push_back("The photo " + ref +
                                   " is published as it is, not turned upright: " + e.what());
            }
        }
    }
    return warnings;
}

} // namespace qm::chm
