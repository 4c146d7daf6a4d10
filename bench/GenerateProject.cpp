// Writes a synthetic help project for the publishing benchmarks: N topics of
// about 6 KB in a tree up to five levels deep, with reusable-content tokens,
// topic links, images, tables and inline styles, like a real large manual.
//
//   qm-generate-project N OUTDIR      -> OUTDIR/Bench.hff and OUTDIR/Bench/
#include "base/PathUtils.h"
#include "content/ReusableContent.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "settings/ProjectSettings.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace qm;

namespace {

const char* kWords[] = {"configure", "project",  "server",     "option",  "report",   "export",
                        "user",      "network",  "schedule",   "backup",  "restore",  "license",
                        "module",    "install",  "update",     "policy",  "account",  "dashboard",
                        "template",  "workflow", "permission", "archive", "database", "interface"};

std::string Sentence(std::mt19937& rng, int words) {
    std::string s;
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            s += ' ';
        s += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
    }
    s[0] = static_cast<char>(s[0] - 32);
    return s + ".";
}

std::string Page(std::mt19937& rng, const std::string& title, const std::vector<std::string>& ids) {
    auto link = [&] {
        const std::string& id = ids[rng() % ids.size()];
        return "<a href=\"doc:" + id + "\">" + Sentence(rng, 2) + "</a>";
    };
    const std::string p =
        "<p style=\"font-family:Segoe UI, Arial, sans-serif;font-size:16px;color:#000000;"
        "line-height:1.5;\">";
    std::string h = "<h1>" + title + "</h1>\r\n";
    h += p + "This topic describes {var:Product} {var:Version}. " + Sentence(rng, 24) + " See " +
         link() + ".</p>\r\n";
    h += "{snip:Note}\r\n";
    h += "<h2>" + Sentence(rng, 3) + "</h2>\r\n";
    h += p + Sentence(rng, 30) + " " + Sentence(rng, 20) + "</p>\r\n";
    h += "<p><img src=\"assets/images/shot.png\" alt=\"" + Sentence(rng, 3) +
         "\" width=\"480\"></p>\r\n";
    h += "<ul><li>" + Sentence(rng, 8) + "</li><li>{var:Product} " + Sentence(rng, 8) +
         "</li><li>" + link() + "</li></ul>\r\n";
    h += "<table style=\"width:100%;border-collapse:collapse;\"><tbody><tr>"
         "<th style=\"background-color: rgb(255, 255, 255);\">Option</th><th>Default</th>"
         "<th>Meaning</th></tr>";
    for (int r = 0; r < 6; ++r)
        h += "<tr><td>" + Sentence(rng, 2) + "</td><td><code>" + std::to_string(rng() % 100) +
             "</code></td><td>" + Sentence(rng, 10) + "</td></tr>";
    h += "</tbody></table>\r\n";
    h += "{begincond:Pro}" + p + "<b>Pro:</b> " + Sentence(rng, 20) + "</p>{endcond}\r\n";
    h += "{begincond:Beta}" + p + Sentence(rng, 12) + "</p>{endcond}\r\n";
    while (h.size() < 5800)
        h += p + Sentence(rng, 25) + " Also read " + link() + ".</p>\r\n";
    return h;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s N OUTDIR\n", argv[0]);
        return 2;
    }
    const int n = std::atoi(argv[1]);
    const std::string outDir = argv[2];
    std::mt19937 rng(12345);

    TDocProject p;
    p.Title = "Benchmark Manual";
    p.RootPath = IncludeTrailingPathDelimiter(JoinPath(outDir, "Bench"));
    std::vector<int> depth;
    std::vector<std::string> ids;
    std::vector<std::string> titles;
    for (int i = 0; i < n; ++i) {
        std::string parent;
        int d = 0;
        if (i >= 10) {
            const int candidate = static_cast<int>(rng() % static_cast<unsigned>(i));
            if (depth[static_cast<size_t>(candidate)] < 4) {
                parent = ids[static_cast<size_t>(candidate)];
                d = depth[static_cast<size_t>(candidate)] + 1;
            }
        }
        titles.push_back("Topic " + std::to_string(i + 1) + ": " + Sentence(rng, 3));
        TTopic& t = p.AddTopic(titles.back(), parent);
        t.Keywords = {kWords[i % 24], kWords[(i * 7) % 24]};
        ids.push_back(t.ID);
        depth.push_back(d);
    }
    for (size_t i = 0; i < ids.size(); ++i)
        WriteTextFileUtf8(p.TopicHtmlPath(ids[i]), Page(rng, titles[i], ids));

    TReusableProjectContent rc;
    rc.FVariables = {{"Product", "Northwind Planner"}, {"Version", "3.2"}};
    rc.FSnippets = {{"Note",
                     "<div style=\"border-left:4px solid #2f6fde;padding:8px;\"><b>Note:</b> "
                     "{var:Product} saves your work.</div>"}};
    rc.FConditions = {{"Pro", true}, {"Beta", false}};
    rc.SaveToProject(p);
    TProjectSettings().SaveToFile(TProjectSettings::DefaultSettingsPathForProject(p.RootPath));
    // A small PNG stands in for the screenshots a manual carries.
    WriteFileBytesAtomic(JoinPath(p.RootPath, "assets/images/shot.png"),
                         std::string("\x89PNG\r\n\x1a\n", 8) + std::string(20000, 'x'));
    WriteProjectFile(JoinPath(outDir, "Bench.hff"), p);
    std::printf("%s\n", JoinPath(outDir, "Bench.hff").c_str());
    return 0;
}
