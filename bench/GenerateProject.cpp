// Writes a synthetic help project for the publishing benchmarks: N topics of
// about 6 KB in a tree up to five levels deep, with reusable-content tokens,
// topic links, images, tables and inline styles, like a real large manual.
//
//   qm-generate-project N OUTDIR      -> OUTDIR/Bench.hff and OUTDIR/Bench/
//   qm-generate-project --varied N OUTDIR
//
// --varied adds the awkward cases a publish must carry through unchanged:
// non-ASCII and astral characters, control characters, entities, scripts,
// nested snippets, named and unbalanced condition markers, tokens inside tags,
// per-topic header files, excluded topics, missing, blank and BOM-led pages.
// The comparison of two builds' output (bench/compare-publish.sh) uses it.
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "content/ReusableContent.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "model/TopicHeaders.h"
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

// One of the awkward fragments, picked by the generator.
std::string OddFragment(std::mt19937& rng, const std::vector<std::string>& ids) {
    const std::string& id = ids[rng() % ids.size()];
    switch (rng() % 22) {
    case 0:
        return "<p>Caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80 na\xC3\xAFve \xE4\xB8\xAD</p>";
    case 1:
        return "<p>a &lt; b &AMP; c &amp;lt; &nbsp;&NBSP; &eacute; &#233; &#39;q&#39; "
               "&quot;x&quot; &GT;</p>";
    case 2:
        return "<SCRIPT type=\"text/javascript\">var x = '<b>{var:Product}</b>';\n</script>"
               "<style>p{color:red}</STYLE>";
    case 3:
        return "<p>{snip:Outer} { SNIP : note } {snip:Missing} {snip:Self}</p>";
    case 4:
        return "<p>{begincond:A}1{endcond:B}2{endcond:A}</p>";
    case 5:
        return "<div> {begincond:Pro} </div><p>inner {begincond:Beta}beta{endcond} "
               "after</p><div>{endcond}</div>";
    case 6:
        return "<p>{endcond} lone {begincond:X} { begincond : Pro }kept{ ENDCOND : pro }</p>";
    case 7:
        return "<img alt=\"{var:Product}\" src=\"assets/images/shot.png\"><p><b>{var:</b>Product}"
               " {var:Missing} { VAR : product } {var:Amp&amp;} {var:Quote}</p>";
    case 8:
        return "<span style=\"border: 1px dashed #999\" contenteditable=\"false\" "
               "title=\"t\">{var:Version}</span><span style=\"background:#EEF5FF\">x</span>"
               "<a href=\"https://x/\" title='single'>y</a>";
    case 9:
        return "<p><a HREF = 'doc:" + id + "'>up</a> <a href=\"DOC:" + id +
               "\">case</a> <a href=\"doc:" + id.substr(1) +
               "\">short</a> <a href=\"doc:" + AsciiLower(id) + "\">lower</a></p>";
    case 10:
        return "<p style=\"background-color:#FFF;background:white\">BACKGROUND-COLOR: WHITE "
               "background: rgb(255, 255, 255) background</p>";
    case 11:
        return "<p><img SRC=\"assets/x.png\"><img src='assets/y.png'><a "
               "href=\"assets/f.pdf\">f</a> src=\"assets/</p>";
    case 12:
        return std::string("<p>ctl\x01\x1f\x7f tab\tform\fvt\v</p>");
    case 13:
        return "<p>slash / back\\slash \"quote\" </p>";
    case 14:
        return "<h2>{begincond:Pro}</h2><h2 class=\"x\">{endcond:Pro}</h2><td>{endcond}</td>";
    case 15:
        return "<p>{begincond:Beta}<b>dropped {var:Product}</b>{endcond:beta}</p>";
    case 16:
        return "<p>unclosed <script>tail text";
    case 17:
        return "<!-- comment {var:Product} --><p>{snip:Cond}</p>";
    case 18:
        return "<p>{var:Astral} {var:Ctl}</p>";
    case 19:
        return "<p>{begincond:&#80;ro}entity name{endcond}</p>";
    case 20:
        return "<p>{{var:Product}} {var:Product</p>";
    default:
        return "<p>trailing &amp tag <b";
    }
}

void AddVariedProject(std::mt19937& rng, TDocProject& p, const std::vector<std::string>& ids,
                      std::vector<std::string>& titles) {
    for (size_t i = 0; i < ids.size(); ++i) {
        TTopic& t = p.GetTopic(ids[i]);
        if (i % 7 == 3) {
            t.Title = "Caf\xC3\xA9 / \"quoted\" <b>&amp; \xF0\x9F\x93\x98 " + t.Title;
            t.Keywords.push_back("na\xC3\xAFve\\path");
        }
        if (i % 13 == 5)
            t.Title += std::string("\x01\t\x1f");
        if (i % 17 == 2)
            t.ExcludeWeb = true;
        if (i % 19 == 4)
            t.ExcludeChm = t.ExcludePdf = true;
        titles[i] = t.Title;
    }
    (void)rng;
}

} // namespace

int main(int argc, char** argv) {
    const bool varied = argc == 4 && std::string(argv[1]) == "--varied";
    if (argc != 3 && !varied) {
        std::fprintf(stderr, "usage: %s [--varied] N OUTDIR\n", argv[0]);
        return 2;
    }
    const int n = std::atoi(argv[argc - 2]);
    const std::string outDir = argv[argc - 1];
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
    if (varied)
        AddVariedProject(rng, p, ids, titles);
    for (size_t i = 0; i < ids.size(); ++i) {
        std::string page = Page(rng, titles[i], ids);
        if (varied) {
            for (int k = 0; k < 4; ++k)
                page.insert(page.rfind("<p") == std::string::npos ? 0 : page.rfind("<p"),
                            OddFragment(rng, ids) + "\r\n");
            if (i % 23 == 6)
                continue; // no page file
            if (i % 29 == 7)
                page = " \r\n\t";
            if (i % 31 == 8)
                page = "\xEF\xBB\xBF" + page;
            if (i % 11 == 9)
                SaveHeaderForTopic(p, ids[i], "<div>Own header \xC3\xA9 {var:Product}</div>",
                                   i % 2 ? " #123456 " : " ");
        }
        WriteTextFileUtf8(p.TopicHtmlPath(ids[i]), page);
    }

    TReusableProjectContent rc;
    rc.FVariables = {{"Product", "Northwind Planner"}, {"Version", "3.2"}};
    rc.FSnippets = {{"Note",
                     "<div style=\"border-left:4px solid #2f6fde;padding:8px;\"><b>Note:</b> "
                     "{var:Product} saves your work.</div>"}};
    rc.FConditions = {{"Pro", true}, {"Beta", false}};
    if (varied) {
        rc.FVariables.push_back({"Amp&", "A & B <c> \"d\""});
        rc.FVariables.push_back({"Quote", "{var:Product}"});
        rc.FVariables.push_back({"Astral", "\xF0\x9F\x98\x80 \xC3\xA9"});
        rc.FVariables.push_back({"Ctl", "a\x01b\tc"});
        rc.FSnippets.push_back({"Outer", "<i>outer {snip:Note} {begincond:Pro}pro{endcond}</i>"});
        rc.FSnippets.push_back({"Self", "<u>self {snip:Self}</u>"});
        rc.FSnippets.push_back({"Cond", "{begincond:Beta}hidden{endcond}{var:Version}"});
        rc.FConditions.push_back({"A", true});
        rc.FConditions.push_back({"B", true});
        SaveHeaderForTopic(p, "", "<div>Default header {var:Product} &amp;</div>", "#ABCDEF");
    }
    rc.SaveToProject(p);
    TProjectSettings().SaveToFile(TProjectSettings::DefaultSettingsPathForProject(p.RootPath));
    // A small PNG stands in for the screenshots a manual carries.
    WriteFileBytesAtomic(JoinPath(p.RootPath, "assets/images/shot.png"),
                         std::string("\x89PNG\r\n\x1a\n", 8) + std::string(20000, 'x'));
    WriteProjectFile(JoinPath(outDir, "Bench.hff"), p);
    std::printf("%s\n", JoinPath(outDir, "Bench.hff").c_str());
    return 0;
}
