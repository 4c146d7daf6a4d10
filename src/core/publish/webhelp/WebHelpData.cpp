#include "publish/webhelp/WebHelpData.h"

#include "base/Json.h"
#include "base/PathUtils.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"

#include <unordered_set>

namespace qm {

namespace {

// A topic can be published only when its id can name a file.
bool Publishable(const TTopic* t) {
    return t != nullptr && !t->ExcludeWeb && TDocProject::IsSafeTopicId(t->ID);
}

void AppendNode(const TDocProject& p, const TTopic& t, std::unordered_set<std::string>& path,
                std::string& out) {
    out += "{\"id\":";
    out += JsonQuote(t.ID);
    out += ",\"title\":";
    out += JsonQuote(t.Title);
    out += ",\"file\":";
    out += JsonQuote("topics/" + t.ID + ".html");
    out += ",\"children\":[";
    // The ids on the way down guard against a cycle in a damaged tree.
    path.insert(t.ID);
    bool first = true;
    for (const auto& childId : t.Children) {
        const TTopic* c = p.Topics.Find(childId);
        if (!Publishable(c) || path.count(childId) != 0)
            continue;
        if (!first)
            out += ',';
        first = false;
        AppendNode(p, *c, path, out);
    }
    path.erase(t.ID);
    out += "]}";
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

void BuildWebHelpContents(const TDocProject& project, const std::string& outDir) {
    std::string json = "{\"roots\":[";
    std::unordered_set<std::string> path;
    bool first = true;
    for (const auto& id : project.RootTopicIDs) {
        const TTopic* t = project.Topics.Find(id);
        if (!Publishable(t))
            continue;
        if (!first)
            json += ',';
        first = false;
        AppendNode(project, *t, path, json);
    }
    json += "]}";
    WriteJsonAndScript(outDir, "toc.json", "toc.js", "__QZ_TOC", json);
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
