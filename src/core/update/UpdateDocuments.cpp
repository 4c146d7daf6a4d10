#include "update/UpdateDocuments.h"

#include "base/StringUtil.h"
#include "base/Utf8.h"
#include "i18n/Translation.h"

namespace qm {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The server's files are read as UTF-8 text; anything else is not a document
// of ours (an error page in another encoding, a binary).
std::optional<std::string_view> DocumentText(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (!IsValidUtf8(bytes))
        return std::nullopt;
    return bytes;
}

std::optional<int> PlainDecimal(std::string_view s) {
    // A sign, blanks or a decimal point make it not a version number.
    if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int v = 0;
    if (!TryParseInt32(s, v))
        return std::nullopt;
    return v;
}

std::optional<TVersionLine> FirstVersionLine(std::string_view versionDocument) {
    const auto text = DocumentText(versionDocument);
    if (!text)
        return std::nullopt;
    const auto lines = SplitLines(*text);
    if (lines.empty())
        return std::nullopt;
    return ParseVersionLine(lines.front());
}

} // namespace

std::optional<TVersionLine> ParseVersionLine(std::string_view line) {
    const size_t slash = line.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const auto latest = PlainDecimal(line.substr(0, slash));
    const auto lowest = PlainDecimal(line.substr(slash + 1));
    if (!latest || !lowest)
        return std::nullopt;
    return TVersionLine{*latest, *lowest};
}

std::string DisplayVersion(int version) {
    return std::to_string(version / 10) + "." + std::to_string(version % 10);
}

std::vector<std::string> ChangesLines(std::string_view document) {
    std::vector<std::string> items;
    const auto text = DocumentText(document);
    if (!text)
        return items;
    for (std::string& line : SplitLines(*text)) {
        // A line of blanks looks as empty as an empty one.
        if (line.find_first_not_of(" \t") != std::string::npos)
            items.push_back(std::move(line));
    }
    return items;
}

bool VersionDocumentOffersUpdate(std::string_view versionDocument, int runningVersion) {
    const auto v = FirstVersionLine(versionDocument);
    return v && (v->Lowest > runningVersion || v->Latest > runningVersion);
}

std::optional<TUpdateNotice> EvaluateUpdateDocuments(std::string_view versionDocument,
                                                     std::string_view changesDocument,
                                                     int runningVersion) {
    const auto v = FirstVersionLine(versionDocument);
    if (!v || !DocumentText(changesDocument))
        return std::nullopt;
    TUpdateNotice notice;
    notice.Version = DisplayVersion(v->Latest);
    if (v->Lowest > runningVersion) {
        notice.Forced = true;
        notice.Text = FormatS(Translate("This version of the software is out of date. You must "
                                        "download the current version %s to continue using "
                                        "the software."),
                              notice.Version);
    } else if (v->Latest > runningVersion) {
        notice.Text = FormatS(Translate("The new version %s is available"), notice.Version);
    } else {
        return std::nullopt;
    }
    notice.Text += "\n\n" + Translate("What's new:") + "\n";
    for (const std::string& item : ChangesLines(changesDocument))
        notice.Text += item + "\n";
    return notice;
}

} // namespace qm
