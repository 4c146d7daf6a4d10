#include "publish/webhelp/SearchIndex.h"

#include "base/Error.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "base/Utf8.h"
#include "publish/webhelp/SearchText.h"

#include <algorithm>
#include <cstdint>
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

void AppendPosting(std::string& list, uint32_t distance, uint32_t bits) {
    std::uint64_t v = std::uint64_t{distance} << 9 | bits;
    while (v >= 0x80) {
        list += static_cast<char>(0x80 | (v & 0x7F));
        v >>= 7;
    }
    list += static_cast<char>(v);
}

std::uint64_t NextPosting(const std::string& list, size_t& pos) {
    std::uint64_t v = 0;
    for (unsigned shift = 0;; shift += 7) {
        const auto b = static_cast<unsigned char>(list[pos++]);
        v |= std::uint64_t{b & 0x7Fu} << shift;
        if (b < 0x80)
            return v;
    }
}

std::string CutUtf8(std::string_view s, size_t max) {
    if (s.size() <= max)
        return std::string(s);
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    return std::string(s.substr(0, end));
}

// The terms of one page, words and stems alike, each with its bits; a word
// also knows its stem's entry (or that it is its own stem), so a word met
// again, as most are, costs one lookup. Open addressing over a flat array of
// entry numbers with a cheap hash: a page looks its words up hundreds of
// times.
class TPageTerms {
public:
    static constexpr uint32_t kOwnStem = UINT32_MAX;
    static constexpr uint32_t kNoStemYet = UINT32_MAX - 1; // so far only a stem

    struct TEntry {
        std::string Term;
        std::uint64_t Hash = 0;
        uint32_t Bits = 0;
        uint32_t Stem = kNoStemYet;
    };

    TPageTerms() : FSlots(256, kFree) {}

    // The entry of a word, with its stem's entry made when it is new.
    TEntry& Word(std::string_view word) {
        const uint32_t i = Find(word);
        if (FEntries[i].Stem == kNoStemYet) {
            std::string stem = SearchStem(word);
            const uint32_t s = stem == word ? kOwnStem : Find(stem);
            FEntries[i].Stem = s;
        }
        return FEntries[i];
    }

    TEntry& operator[](uint32_t i) { return FEntries[i]; }

    // The terms with their bits; the table is spent.
    std::vector<std::pair<std::string, uint32_t>> Take() {
        std::vector<std::pair<std::string, uint32_t>> terms;
        terms.reserve(FEntries.size());
        for (TEntry& e : FEntries)
            terms.emplace_back(std::move(e.Term), e.Bits);
        return terms;
    }

private:
    static constexpr uint32_t kFree = UINT32_MAX;

    static std::uint64_t Hash(std::string_view w) {
        std::uint64_t h = 14695981039346656037ull; // FNV-1a
        for (const char c : w) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        return h ^ (h >> 29);
    }

    // The entry number of a term, a new entry when it is not there yet.
    uint32_t Find(std::string_view term) {
        const std::uint64_t hash = Hash(term);
        size_t slot = Slot(term, hash);
        if (FSlots[slot] != kFree)
            return FSlots[slot];
        if (2 * (FEntries.size() + 1) > FSlots.size()) {
            Grow();
            slot = Slot(term, hash);
        }
        const auto i = static_cast<uint32_t>(FEntries.size());
        FEntries.push_back({std::string(term), hash, 0, kNoStemYet});
        FSlots[slot] = i;
        return i;
    }

    size_t Slot(std::string_view term, std::uint64_t hash) const {
        const size_t mask = FSlots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const uint32_t e = FSlots[i];
            if (e == kFree || (FEntries[e].Hash == hash && FEntries[e].Term == term))
                return i;
        }
    }

    void Grow() {
        FSlots.assign(FSlots.size() * 2, kFree);
        for (uint32_t i = 0; i < FEntries.size(); ++i)
            FSlots[Slot(FEntries[i].Term, FEntries[i].Hash)] = i;
    }

    std::vector<uint32_t> FSlots; // a power of two, at most half full
    std::vector<TEntry> FEntries;
};

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
    FLastTopic.push_back(0);
    FTermIds.emplace(FTerms.back(), id);
    return id;
}

TPreparedSearchPage TWebHelpSearchIndex::Prepare(const TSearchPage& page) const {
    TPreparedSearchPage out;
    out.IdJson = JsonQuote(page.Id);
    out.TitleJson = JsonQuote(page.Title);
    const std::string text = DecodeHtmlEntities(page.Text);
    std::string entries;
    if (page.IndexEntries != nullptr)
        for (const std::string& e : *page.IndexEntries)
            entries += (entries.empty() ? "" : "; ") + e;

    // The index numbers the terms when it adds the page; their numbers never
    // reach the output, nor does the order of a page's terms.
    TPageTerms terms;
    const auto add = [&](std::string_view source, uint32_t where) {
        const auto note = [&](uint32_t& v, uint32_t surface) {
            uint32_t count = (v >> 4) & 15;
            if (where == kText && count < 15)
                ++count;
            v = (v & ~(15u << 4)) | (count << 4) | where | surface;
        };
        ForEachSearchWord(source, [&](std::string_view w) {
            TPageTerms::TEntry& e = terms.Word(w);
            note(e.Bits, kSurface);
            if (e.Stem != TPageTerms::kOwnStem)
                note(terms[e.Stem].Bits, 0);
        });
    };
    add(page.Title, kTitle);
    add(page.Keywords, kKeyword);
    add(entries, kIndexEntry);
    add(text, kText);
    out.Terms = terms.Take();

    out.TextEntry += '[';
    out.TextEntry += JsonQuote(CutUtf8(text, MaxSnippetText));
    out.TextEntry += ',';
    out.TextEntry += JsonQuote(page.Keywords);
    out.TextEntry += ',';
    out.TextEntry += JsonQuote(entries);
    out.TextEntry += ']';
    return out;
}

void TWebHelpSearchIndex::Add(TPreparedSearchPage page) {
    if (FTopicCount >= kMaxTopics)
        throw EFileError("Too many topics for the search index");
    const uint32_t topic = FTopicCount++;
    if (FDocIds.empty())
        FDocStarts.push_back(topic);
    (FDocIds += FDocIds.empty() ? "" : ",") += page.IdJson;
    (FDocTitles += FDocTitles.empty() ? "" : ",") += page.TitleJson;
    if (topic + 1 - FDocStarts.back() >= TopicsPerDocShard)
        FlushDocs();
    for (const auto& [term, bits] : page.Terms) {
        const uint32_t id = TermId(term);
        AppendPosting(FPostings[id], topic - FLastTopic[id], bits);
        FLastTopic[id] = topic;
    }

    if (FTextShardCount == 0)
        FTextStarts.push_back(topic);
    FTextShard += FTextShardCount == 0 ? "[" : ",";
    FTextShard += page.TextEntry;
    ++FTextShardCount;
    if (FTextShardCount >= TextShardTopics || FTextShard.size() >= TextShardBytes)
        FlushTexts();
}

// The topics' ids and titles in shards of their own, so that the browser
// reads them as several short tasks rather than one long one.
void TWebHelpSearchIndex::FlushDocs() {
    if (FDocIds.empty())
        return;
    const std::string n = std::to_string(FDocStarts.size() - 1);
    WriteOutputFileParts(JoinPath(FDir, "d" + n + ".js"),
                         {"window.__qzSearch(\"d\",", n, ",{\"ids\":[", FDocIds, "],\"titles\":[",
                          FDocTitles, "]});"});
    FDocIds.clear();
    FDocTitles.clear();
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
    FlushDocs();
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
        const std::string& list = FPostings[order[k]];
        for (size_t j = 0; j < list.size();) {
            const std::uint64_t v = NextPosting(list, j);
            if (part.back() != '[')
                part += ',';
            part += std::to_string(v >> 9);
            part += ',';
            part += std::to_string(v & 511);
        }
        part += ']';
        if (part.size() >= PostingShardBytes)
            flushPart();
    }
    flushPart();

    std::string dict = "{\"terms\":[";
    for (size_t k = 0; k < order.size(); ++k)
        (dict += k ? "," : "") += JsonQuote(FTerms[order[k]]);
    dict += "],\"parts\":[";
    for (size_t i = 0; i < partStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(partStarts[i]);
    dict += "],\"docs\":[";
    for (size_t i = 0; i < FDocStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(FDocStarts[i]);
    dict += "],\"texts\":[";
    for (size_t i = 0; i < FTextStarts.size(); ++i)
        (dict += i ? "," : "") += std::to_string(FTextStarts[i]);
    dict += "]}";
    WriteOutputFileParts(JoinPath(FDir, "index.js"),
                         {"window.__qzSearch(\"index\",0,", dict, ");"});
    RemoveSurplusShards(FDir, FDocStarts.size(), partStarts.size(), FTextStarts.size());
}

} // namespace qm
