// What publishing does to every topic page before it is written: token
// expansion, topic-link rewriting and the plain text for the search data.
// The page is a realistic 6 KB topic as the editor saves it: a dozen tokens
// in their editor decoration, conditional blocks on paragraphs of their own,
// topic links, a table and inline styles.
#include "content/ReusableContent.h"
#include "content/TokenExpansion.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace qm;

namespace {

// A temporary project holding the reusable content file, removed at the end.
class TBenchProject {
public:
    TBenchProject() {
        std::random_device rd;
        FDir = std::filesystem::temp_directory_path() / ("qm-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(FDir);
        Project.RootPath = FDir.string() + "/";
        for (int i = 0; i < 40; ++i)
            TopicIds.push_back(Project.AddTopic("Topic " + std::to_string(i), "").ID);

        TReusableProjectContent store;
        store.FVariables = {
            {"Product", "Northwind Planner"}, {"Version", "3.2"}, {"Vendor", "Northwind & Co."}};
        store.FSnippets = {
            {"Note", "<div style=\"border-left:4px solid #2f6fde;padding:8px;\"><b>Note:</b> "
                     "{var:Product} saves your work every five minutes.</div>"},
            {"Support", "<p>Contact {var:Vendor} support for help with {var:Product}.</p>"}};
        store.FConditions = {{"Pro", true}, {"Beta", false}};
        store.SaveToProject(Project);
        Page = MakePage();
    }
    ~TBenchProject() {
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    TBenchProject(const TBenchProject&) = delete;
    TBenchProject& operator=(const TBenchProject&) = delete;

    TDocProject Project;
    std::vector<std::string> TopicIds;
    std::string Page;

private:
    // A token as the editor inserts it: framed, not editable, with a tip.
    static std::string Token(const std::string& token) {
        return "<span class=\"qm-token\" contenteditable=\"false\" style=\"background:#eef5ff;"
               "border:1px dashed #8aa4d6;padding:0 2px;\" title=\"Reusable content\">" +
               token + "</span>";
    }

    std::string Link(size_t i) const {
        return "<a href=\"doc:" + TopicIds[(i * 7) % TopicIds.size()] + "\">related topic " +
               std::to_string(i) + "</a>";
    }

    std::string MakePage() const {
        const std::string p = "<p style=\"font-family:Segoe UI, Arial, sans-serif;"
                              "font-size:16px;color:#1a1a1a;line-height:1.5;\">";
        const std::string filler = "Choose the schedule, the backup folder and the retention "
                                   "policy, then confirm the settings to start the first run. ";
        std::string h = "<h1>Scheduling backups</h1>\r\n";
        h += p + "This topic describes " + Token("{var:Product}") + " " + Token("{var:Version}") +
             ". " + filler + "See " + Link(1) + ".</p>\r\n";
        h += Token("{snip:Note}") + "\r\n";
        h += "<h2>Before you start</h2>\r\n";
        h += p + filler + filler + "Read " + Link(2) + " and " + Link(3) + " first.</p>\r\n";
        h += "<p><img src=\"assets/images/schedule.png\" alt=\"The {var:Product} schedule\" "
             "width=\"480\" style=\"border:1px solid #ccc;\"></p>\r\n";
        h += "<ul><li>" + filler + "</li><li>" + Token("{var:Product}") + " keeps " +
             "every version.</li><li>" + Link(4) + "</li></ul>\r\n";
        h += "<table style=\"width:100%;border-collapse:collapse;\"><tbody><tr>"
             "<th style=\"background-color:#f0f0f0;border:1px solid #ccc;\">Option</th>"
             "<th style=\"border:1px solid #ccc;\">Default</th>"
             "<th style=\"border:1px solid #ccc;\">Meaning</th></tr>";
        for (int r = 0; r < 6; ++r)
            h += "<tr><td style=\"border:1px solid #ccc;\">Option " + std::to_string(r) +
                 "</td><td style=\"border:1px solid #ccc;\"><code>" + std::to_string(r * 15) +
                 "</code></td><td style=\"border:1px solid #ccc;\">How often " +
                 (r % 3 == 0 ? Token("{var:Product}") : std::string("the program")) +
                 " checks the folder.</td></tr>";
        h += "</tbody></table>\r\n";
        h += "<p>" + Token("{begincond:Pro}") + "</p>\r\n" + p + "<b>Pro:</b> " + filler +
             "</p>\r\n<p>" + Token("{endcond}") + "</p>\r\n";
        h += "<p>" + Token("{begincond:Beta}") + "</p>\r\n" + p + filler + "</p>\r\n<p>" +
             Token("{endcond}") + "</p>\r\n";
        h += Token("{snip:Support}") + "\r\n";
        for (size_t i = 5; h.size() < 6000; ++i)
            h += p + filler + "Also read " + Link(i) + ".</p>\r\n";
        return h;
    }

    std::filesystem::path FDir;
};

TBenchProject* gBench = nullptr;

// The web target's rule: pages of the project's topics, nothing for others.
std::string WebTarget(const std::string& id) {
    return gBench->Project.HasTopic(id) ? id + ".html" : std::string();
}

void BM_ExpandReusableContent(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ExpandReusableContent(gBench->Project, gBench->Page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(gBench->Page.size()));
}
// Publishing expands pages on several threads; they share the patterns and
// the parsed reusable content.
BENCHMARK(BM_ExpandReusableContent)->Unit(benchmark::kMicrosecond)->ThreadRange(1, 2);

void BM_RewriteDocLinks(benchmark::State& state) {
    const std::string page = ExpandReusableContent(gBench->Project, gBench->Page);
    const TDocLinkTarget rule = WebTarget;
    for (auto _ : state)
        benchmark::DoNotOptimize(RewriteDocLinks(page, rule));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_RewriteDocLinks)->Unit(benchmark::kMicrosecond);

void BM_HtmlToPlainText(benchmark::State& state) {
    const std::string page = ExpandReusableContent(gBench->Project, gBench->Page);
    for (auto _ : state)
        benchmark::DoNotOptimize(HtmlToPlainText(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_HtmlToPlainText)->Unit(benchmark::kMicrosecond);

// All three, as the web export does for one page.
void BM_WebPage(benchmark::State& state) {
    const TDocLinkTarget rule = WebTarget;
    for (auto _ : state) {
        const std::string page = ExpandReusableContent(gBench->Project, gBench->Page);
        benchmark::DoNotOptimize(HtmlToPlainText(page));
        benchmark::DoNotOptimize(RewriteDocLinks(page, rule));
    }
}
BENCHMARK(BM_WebPage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TBenchProject bench;
    gBench = &bench;
    benchmark::AddCustomContext("page bytes", std::to_string(bench.Page.size()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
