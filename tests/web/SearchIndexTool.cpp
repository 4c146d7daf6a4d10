// Builds the viewer's search index for a site that the browser tests assemble
// by hand (the fixture, the generated large help): reads the site's
// search.json and, when present, index-entries.json ({"ID": ["entry", ...]}),
// and toc.json, and writes search/ with the publisher's own writers.
//
//   qm_web_search_index SITE_DIR
#include "base/Json.h"
#include "base/PathUtils.h"
#include "publish/webhelp/SearchIndex.h"
#include "publish/webhelp/ViewerContents.h"

#include <deque>
#include <exception>
#include <iostream>
#include <map>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qm_web_search_index SITE_DIR\n";
        return 2;
    }
    try {
        const std::string site = argv[1];
        const qm::Json search =
            qm::Json::parse(qm::ReadTextFileUtf8(qm::JoinPath(site, "search.json")));
        std::map<std::string, std::vector<std::string>> entries;
        const std::string entriesFile = qm::JoinPath(site, "index-entries.json");
        if (qm::FileExists(entriesFile)) {
            const qm::Json all = qm::Json::parse(qm::ReadTextFileUtf8(entriesFile));
            for (auto it = all.begin(); it != all.end(); ++it)
                entries[it.key()] = it.value().get<std::vector<std::string>>();
        }
        qm::TWebHelpSearchIndex index(site);
        for (const qm::Json& t : search.at("topics")) {
            const std::string id = t.value("id", "");
            const std::string title = t.value("title", "");
            const std::string keywords = t.value("keywords", "");
            const std::string text = t.value("text", "");
            const auto found = entries.find(id);
            index.Add(
                {id, title, keywords, found != entries.end() ? &found->second : nullptr, text});
        }
        index.Finish();

        const qm::Json toc = qm::Json::parse(qm::ReadTextFileUtf8(qm::JoinPath(site, "toc.json")));
        std::vector<qm::TViewerContentsRow> rows;
        std::vector<std::pair<const qm::Json*, int>> stack;
        const qm::Json& roots = toc.at("roots");
        for (auto it = roots.rbegin(); it != roots.rend(); ++it)
            stack.emplace_back(&*it, 0);
        std::deque<std::string> keep; // the rows view these strings, which stay in place
        while (!stack.empty()) {
            const auto [node, depth] = stack.back();
            stack.pop_back();
            keep.push_back(node->value("id", ""));
            const std::string& id = keep.back();
            keep.push_back(node->value("title", ""));
            rows.push_back({id, keep.back(), depth});
            const qm::Json& children = node->at("children");
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                stack.emplace_back(&*it, depth + 1);
        }
        qm::WriteViewerContents(rows, site);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
