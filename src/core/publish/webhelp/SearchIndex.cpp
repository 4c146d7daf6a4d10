#include "publish/webhelp/SearchIndex.h"

#include "base/Error.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "base/Utf8.h"
#include "publish/webhelp/SearchText.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

namespace qm {

namespace {

constexpr uint32_t kSurface = 256;
constexpr uint32_t kMaxTopics = 1u << 23;

// The viewer compares terms as JavaScript strings (UTF-16 code units), where
// characters beyond the basic plane sort before U+E000..U+FFFF; in UTF-8 they
// come after. Comparing with those two lead bytes moved up gives the viewer's
// order.
bool Utf16Less(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const auto key = [](unsigned char c) -> unsigned {
            return (c == 0xEE || c == 0xEF) ? c + 7u : c;
        };
        return key(static_cast<unsigned char>(a[i])) < key(static_cast<unsigned char>(b[i]));
    }
    return a.size() < b.size();
}

// A shard file name as Finish writes it: d, p or t, a number without leading
// zeros, ".js". Returns the kind and number, or 0 for any other name.
char ShardName(const std::string& name, size_t& number) {
    if (name.size() < 5 || (name[0] != 'd' && name[0] != 'p' && name[0] != 't') ||
        name.compare(name.size() - 3, 3, ".js") != 0)
        return 0;
    const std::string digits = name.substr(1, name.size() - 4);
    if (digits.size() > 9 || (digits.size() > 1 && digits[0] == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    number = std::stoul(digits);
    return name[0];
}

// A publish into the folder of a larger earlier one would otherwise leave its
// surplus shards behind, unreferenced. Only regular files with the shard names
// go; a file that cannot be removed is left for the next publish.
void RemoveSurplusShards(const std::string& dir, size_t docs, size_t parts, size_t texts) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> surplus;
    for (const auto& e : fs::directory_iterator(fs::path(dir), ec)) {
        if (!e.is_regular_file(ec) || e.is_symlink(ec))
            continue;
        size_t n = 0;
        const char kind = ShardName(e.path().filename().string(), n);
        const size_t written = kind == 'd' ? docs : kind == 'p' ? parts : texts;
        if (kind != 0 && n >= written)
            surplus.push_back(e.path());
    }
    for (const auto& p : surplus)
        fs::remove(p, ec);
}

std::string CutUtf8(std::string_view s, size_t max) {
    if (s.size() <= max)
        return std::string(s);
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    return std::string(s.substr(0, end));
}

} // namespace

TWebHelpSearchIndex::TWebHelpSearchIndex(std::string outDir) : FDir(JoinPath(outDir, "search")) {
    CreateDirs(FDir);
}

uint32_t TWebHelpSearchIndex::TermId(const std::string& term) {
    const auto it = FTermIds.find(term);
    if (it != FTermIds.end())
        return it->second;
    const auto id = static_cast<uint32_t>(FTerms.size());
    FTerms.push_back(term);
    FPostings.emplace_back();
    FTermIds.emplace(FTerms.back(), id);
    return id;
}

void TWebHelpSearchIndex::Add(const TSearchPage& page) {
    if (FIds.size() >= kMaxTopics)
        throw EFileError("Too many topics for the search index");
    const uint32_t topic = static_cast<uint32_t>(FIds.size());
    FIds.emplace_back(page.Id);
    FTitles.emplace_back(page.Title);

    const std::string text = DecodeHtmlEntities(page.Text);
    std::string entries;
    if (page.IndexEntries != nullptr)
        for (const std::string& e : *page.IndexEntries)
            entries += (entries.empty() ? "" : "; ") + e;

    // term id -> bits for this topic
    std::unordered_map<uint32_t, uint32_t> local;
    const auto add = [&](std::string_view source, uint32_t where) {
        for (const std::string& w : SearchWords(source)) {
            const auto note = [&](const std::string& term, uint32_t surface) {
                uint32_t& v = local[TermId(term)];
                uint32_t count = (v >> 4) & 15;
                if (where == kText && count < 15)
                    ++count;
                v = (v & ~(15u << 4)) | (count << 4) | where | surface;
            };
            note(w, kSurface);
            const std::string stem = SearchStem(w);
            if (stem != w)
                note(stem, 0);
        }
    };
    add(page.Title, kTitle);
    add(page.Keywords, kKeyword);
    add(entries, kIndexEntry);
    add(text, kText);
    for (const auto& [term, bits] : local)
        FPostings[term].push_back(topic << 9 | bits);

    if (FTextShardCount == 0)
        FTextStarts.push_back(topic);
    FTextShard += FTextShardCount == 0 ? "[" : ",";
    FTextShard += '[';
    FTextShard += JsonQuote(CutUtf8(text, MaxSnippetText));
    FTextShard += ',';
    FTextShard += JsonQuote(page.Keywords);
    FTextShard += ',';
    FTextShard += JsonQuote(entries);
    FTextShard += ']';
    ++FTextShardCount;
    if (FTextShardCount >= TextShardTopics || FTextShard.size() >= TextShardBytes)
        FlushTexts();
}

void TWebHelpSearchIndex::FlushTexts() {
    if (FTextShardCount == 0)
        return;
    const size_t n = FTextStarts.size() - 1;
    WriteOutputFileParts(JoinPath(FDir, "t" + std::to_string(n) + ".js"),
                         {"window.__qzSearch(\"t\",", std::to_string(n), ",", FTextShard, "]);"});
    FTextShard.clear();
    FTextShardCount = 0;
}

void TWebHelpSearchIndex::Finish() {
    FlushTexts();
    std::vector<uint32_t> order(FTerms.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [this](uint32_t a, uint32_t b) { return Utf16Less(FTerms[a], FTerms[b]); });

    // Postings: per term a flat list of topic-number deltas and bits.
    std::vector<size_t> partStarts;
    std::string part;
    const auto flushPart = [&] {
        if (part.empty())
            return;
        const size_t n = partStarts.size() - 1;
        WriteOutputFileParts(JoinPath(FDir, "p" + std::to_string(n) + ".js"),
                             {"window.__qzSearch(\"p\",", std::to_string(n), ",", part, "]);"});
        part.clear();
    };
    for (size_t k = 0; k < order.size(); ++k) {
        if (part.empty())
            partStarts.push_back(k);
        part += part.empty() ? "[[" : ",[";
        uint32_t previous = 0;
        const std::vector<uint32_t>& list = FPostings[order[k]];
        for (size_t j = 0; j < list.size(); ++j) {
            const uint32_t topic = list[j] >> 9;
            if (j > 0)
                part += ',';
            part += std::to_string(topic - previous);
            part += ',';
            part += std::to_string(list[j] & 511);
            previous = topic;
        }
        part += ']';
        if (part.size() >= PostingShardBytes)
            flushPart();
    }
    flushPart();

    // The topics' ids and titles in shards of their own, so that the browser
    // reads them as several short tasks rather than one long one.
    std::vector<size_t> docStarts;
    for (size_t first = 0; first < FIds.size(); first += TopicsPerDocShard) {
        const size_t last = std::min(FIds.size(), first + TopicsPerDocShard);
        std::string docs = "{\"ids\":[";
        for (size_t i = first; i < last; ++i)
            (docs += i > first ? "," : "") += JsonQuote(FIds[i]);
        docs += "],\"titles\":[";
        for (size_t i = first; i < last; ++i)
            (docs += i > first ? "," : "") += JsonQuote(FTitles[i]);
        docs += "]}";
        const std::string n = std::to_string(docStarts.size());
        WriteOutputFileParts(JoinPath(FDir, "d" + n + ".js"),
                             {"window.__qzSearch(\"d\",", n, ",", docs, ");"});
        docStarts.push_back(first);
    }

    std::string dict = "{\"terms\":[";
    for (size_t k = 0; k < order.size(); ++k)
        (dict += k ? "," : "") += JsonQuote(FTerms[order[k]]);
    dict += "],\"parts\":[";
    for (size_t i = 0; i < partStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(partStarts[i]);
    dict += "],\"docs\":[";
    for (size_t i = 0; i < docStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(docStarts[i]);
    dict += "],\"texts\":[";
    for (size_t i = 0; i < FTextStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(FTextStarts[i]);
    dict += "]}";
    WriteOutputFileParts(JoinPath(FDir, "index.js"),
                         {"window.__qzSearch(\"index\",0,", dict, ");"});
    RemoveSurplusShards(FDir, docStarts.size(), partStarts.size(), FTextStarts.size());
}

} // namespace qm
