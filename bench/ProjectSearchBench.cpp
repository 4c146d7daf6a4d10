// Find in project on a synthetic project of 10,000 topics (about 2 KB of
// text each): the first search reads and converts every page; the ones after
// it work from memory and must stay well under 200 ms.
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "workspace/ProjectSearch.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

namespace {

constexpr int kTopics = 10000;

const char* const kWords[] = {"install",   "configure", "the",      "device", "press",  "button",
                              "select",    "network",   "options",  "update", "screen", "menu",
                              "Übersicht", "paramètre", "settings", "click",  "window", "help"};

struct TSyntheticProject {
    std::string Root;
    qm::TDocProject Project;

    TSyntheticProject() {
        Root = (std::filesystem::temp_directory_path() / "qm-bench-projectsearch/").string();
        std::filesystem::remove_all(Root);
        Project.RootPath = Root;
        std::mt19937 rng(7);
        std::string parent;
        for (int i = 0; i < kTopics; ++i) {
            const qm::TTopic& t =
                Project.AddTopic("Topic " + std::to_string(i), i % 50 == 0 ? "" : parent);
            if (i % 50 == 0)
                parent = t.ID;
            std::string html;
            for (int p = 0; p < 12; ++p) {
                html += "<p>";
                for (int w = 0; w < 25; ++w)
                    html += std::string(kWords[rng() % std::size(kWords)]) +
                            (w % 7 ? " " : " <b>x</b> ");
                html += "</p>\n";
            }
            qm::WriteTextFileUtf8(Project.TopicHtmlPath(t.ID), html);
        }
    }
    ~TSyntheticProject() { std::filesystem::remove_all(Root); }
};

TSyntheticProject& Data() {
    static TSyntheticProject data;
    return data;
}

void BM_FirstSearch(benchmark::State& state) {
    (void)Data(); // writing the pages is not part of the search
    for (auto _ : state) {
        qm::TProjectSearch search;
        benchmark::DoNotOptimize(search.Search(Data().Project, {}, "paramètre"));
    }
}
BENCHMARK(BM_FirstSearch)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SearchAgain(benchmark::State& state) {
    qm::TProjectSearch search;
    (void)search.Search(Data().Project, {}, "warm up");
    const std::map<std::string, std::string> unsaved = {
        {Data().Project.RootTopicIDs.front(), "<p>an unsaved text with zanzibar</p>"}};
    const char* queries[] = {"zanzibar", "Network Options", "übersicht", "e"};
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            search.Search(Data().Project, unsaved, queries[i++ % std::size(queries)]));
}
BENCHMARK(BM_SearchAgain)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
