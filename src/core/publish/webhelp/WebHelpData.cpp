#include "publish/webhelp/WebHelpData.h"

#include "base/Json.h"
#include "base/PathUtils.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"

#include <unordered_set>

namespace qm {

namespace {

// A topic can be published only when its id can name a file.
bool Publishable(const TTopic* t) {
    return t != nullptr && !t->ExcludeWeb && TDocProject::IsSafeTopicId(t->ID);
}

void WriteJsonAndScript(const std::string& outDir, const char* jsonName, const char* jsName,
                        const char* variable, const std::string& json) {
    WriteOutputFile(JoinPath(outDir, jsonName), json);
    WriteOutputFileParts(JoinPath(outDir, jsName), {std::string_view("window."), variable,
                                                    std::string_view(" = "), json, ";"});
}

} // namespace

std::string JoinKeywords(const std::vector<std::string>& keywords) {
    std::string r;
    for (size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0)
            r += ' ';
        r += keywords[i];
    }
    return r;
}

std::vector<std::string> BuildWebHelpContents(const TDocProject& project,
                                              const std::string& outDir) {
    const TContentsWalk walk =
        WalkContents(project, [](const TTopic& t) { return Publishable(&t); });
    std::string json = "{\"roots\":[";
    // Each entry opens its node; the nodes still open are closed when the walk
    // comes back up to their depth (the next entry is at most one deeper).
    for (size_t i = 0; i < walk.Entries.size(); ++i) {
        const TContentsEntry& e = walk.Entries[i];
        if (i > 0 && e.Depth <= walk.Entries[i - 1].Depth)
            json += ',';
        const TTopic& t = *e.Topic;
        json += "{\"id\":";
        json += JsonQuote(t.ID);
        json += ",\"title\":";
        json += JsonQuote(t.Title);
        json += ",\"file\":";
        json += JsonQuote("topics/" + t.ID + ".html");
        json += ",\"children\":[";
        const int nextDepth = i + 1 < walk.Entries.size() ? walk.Entries[i + 1].Depth : 0;
        for (int d = e.Depth; d >= nextDepth; --d)
            json += "]}";
    }
    json += "]}";
    WriteJsonAndScript(outDir, "toc.json", "toc.js", "__QZ_TOC", json);
    return walk.Warnings;
}

void WriteWebHelpSearchData(const std::vector<TWebHelpSearchText>& entries,
                            const std::string& outDir) {
    size_t size = 16;
    for (const auto& e : entries)
        size += e.Text.size() + 256;
    std::string json;
    json.reserve(size);
    json += "{\"topics\":[";
    for (size_t i = 0; i < entries.size(); ++i) {
        const TTopic& t = *entries[i].Topic;
        if (i > 0)
            json += ',';
        json += "{\"id\":";
        json += JsonQuote(t.ID);
        json += ",\"title\":";
        json += JsonQuote(t.Title);
        json += ",\"file\":";
        json += JsonQuote("topics/" + t.ID + ".html");
        json += ",\"text\":";
        json += JsonQuote(entries[i].Text);
        json += ",\"keywords\":";
        json += JsonQuote(JoinKeywords(t.Keywords));
        json += '}';
    }
    json += "]}";
    WriteJsonAndScript(outDir, "search.json", "search.js", "__QZ_SEARCH", json);
}

} // namespace qm
