// Builds the viewer's search index for a site that the browser tests assemble
// by hand (the fixture, the generated large help): reads the site's
// search.json and, when present, index-entries.json ({"ID": ["entry", ...]}),
// and writes search/ with the publisher's own index builder.
//
//   qm_web_search_index SITE_DIR
#include "base/Json.h"
#include "base/PathUtils.h"
#include "publish/webhelp/SearchIndex.h"

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
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
