#include "publish/pdf/PdfHeading.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "content/TokenExpansionSteps.h"
#include "model/DocModel.h"
#include "model/TopicHeaders.h"

namespace qm::pdf {

namespace {

// The header file that stores the topic's own header, or "" when its id
// cannot be part of a file name (such a topic cannot have one).
std::string OwnHeaderFile(const TDocProject& project, const std::string& id) {
    if (id.empty())
        return "";
    try {
        return HeaderFilesFor(project, id).HtmlFile;
    } catch (const EInvalidPath&) {
        return "";
    }
}

} // namespace

std::string HeaderToPlainText(std::string_view html) {
    std::string text;
    text.reserve(html.size());
    bool inTag = false;
    for (char c : html) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text.push_back(c);
    }
    return TrimCtl(ReplaceAll(HtmlDecode(text), "\xC2\xA0", " "));
}

std::string TopicHeadingText(const TDocProject& project, const std::string& id,
                             const std::string& title) {
    std::string file = OwnHeaderFile(project, id);
    if (file.empty() || !FileExists(file))
        file = HeaderFilesFor(project, "").HtmlFile;
    const std::string text = FileExists(file) ? HeaderToPlainText(ReadTextFileUtf8(file)) : "";
    return text.empty() ? title : text;
}

size_t PdfHeadingLevel(size_t depth) {
    return depth < 5 ? depth + 1 : 6;
}

std::string PdfHeadingTag(size_t depth) {
    return "h" + std::to_string(PdfHeadingLevel(depth));
}

} // namespace qm::pdf
