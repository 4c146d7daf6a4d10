// The case-insensitive search that the white-background strip runs over
// every published page, against the search it replaced (two memchr calls per
// candidate, one of them to the end of the text when a letter occurs in one
// case only), on pages that are one letter repeated: the earlier search is
// quadratic there, the current one linear.
#include "base/StringUtil.h"
#include "publish/webhelp/WebHelpPage.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The earlier search, kept here only to be measured against.
size_t PreviousFindAsciiNoCase(std::string_view hay, std::string_view needle, size_t from) {
    if (needle.empty())
        return from <= hay.size() ? from : std::string_view::npos;
    if (hay.size() < needle.size() || from > hay.size() - needle.size())
        return std::string_view::npos;
    const char lo = Lower(needle[0]);
    const char up = Upper(needle[0]);
    const char* base = hay.data();
    const char* end = base + (hay.size() - needle.size()) + 1;
    const char* p = base + from;
    while (p < end) {
        const char* a = static_cast<const char*>(std::memchr(p, lo, static_cast<size_t>(end - p)));
        const char* b = lo == up ? nullptr
                                 : static_cast<const char*>(
                                       std::memchr(p, up, static_cast<size_t>((a ? a : end) - p)));
        const char* cand = b != nullptr ? b : a;
        if (cand == nullptr)
            return std::string_view::npos;
        const size_t i = static_cast<size_t>(cand - base);
        if (qm::SameTextAscii(hay.substr(i, needle.size()), needle))
            return i;
        p = cand + 1;
    }
    return std::string_view::npos;
}

void BM_PreviousFindInLetters(benchmark::State& state) {
    const std::string page(static_cast<size_t>(state.range(0)), 'B');
    for (auto _ : state)
        benchmark::DoNotOptimize(PreviousFindAsciiNoCase(page, "background", 0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_FindInLetters(benchmark::State& state) {
    const std::string page(static_cast<size_t>(state.range(0)), 'B');
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::FindAsciiNoCase(page, "background"));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The whole strip on a page of ordinary text, where the first letters of
// "background" occur in both cases.
void BM_StripWhiteBackgroundsOfText(benchmark::State& state) {
    std::string page;
    while (page.size() < static_cast<size_t>(state.range(0)))
        page += "<p style=\"background-color:#fff\">Both backups and Bookmarks are kept.</p>";
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::StripWhiteBackgrounds(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

} // namespace

BENCHMARK(BM_PreviousFindInLetters)
    ->Arg(64 << 10)
    ->Arg(256 << 10)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindInLetters)
    ->Arg(64 << 10)
    ->Arg(256 << 10)
    ->Arg(1 << 20)
    ->Arg(50 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StripWhiteBackgroundsOfText)
    ->Arg(1 << 20)
    ->Arg(50 << 20)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
