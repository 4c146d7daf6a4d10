#pragma once
// The viewer's search index, written beside search.js and search.json into the
// "search" folder: a dictionary (index.js) with the sorted terms and where
// the shards start, the topics' ids and titles (d<N>.js), posting shards (p<N>.js) that hold
// the topics of a run of terms, and text shards (t<N>.js) with the text of a run of topics for the
// snippets. Each file is a script that hands its data to window.__qzSearch, so the viewer loads
// only what a query needs, from disk as over http.
//
// Pages are added one at a time in publish order. The builder keeps only the
// term dictionary and integer postings; the texts go out in shards as they
// come, and the dictionary and postings are written by Finish.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qm {

struct TSearchPage {
    std::string_view Id;
    std::string_view Title;
    std::string_view Keywords; // joined with spaces
    const std::vector<std::string>* IndexEntries = nullptr;
    std::string_view Text; // plain text of the page
};

// One page's share of the index, made without touching the index: its terms
// with their bits, and its entry of a text shard.
struct TPreparedSearchPage {
    std::string IdJson; // quoted
    std::string TitleJson;
    std::vector<std::pair<std::string, uint32_t>> Terms;
    std::string TextEntry;
};

class TWebHelpSearchIndex {
public:
    // Where a term occurs in a topic, one bit each.
    enum : uint32_t { kTitle = 1, kKeyword = 2, kIndexEntry = 4, kText = 8 };

    explicit TWebHelpSearchIndex(std::string outDir);

    // The words, stems and texts of a page: the bulk of the work, which any
    // number of threads may do at once (it reads only the settings below).
    [[nodiscard]] TPreparedSearchPage Prepare(const TSearchPage& page) const;
    // Adds prepared pages one at a time, in publish order.
    void Add(TPreparedSearchPage page);
    void Add(const TSearchPage& page) { Add(Prepare(page)); }
    // Writes the last text shard, the posting shards and the dictionary.
    void Finish();

    // Shard sizes in bytes of script text; tests make them small.
    size_t TextShardBytes = 48 * 1024;
    size_t TextShardTopics = 32;
    size_t PostingShardBytes = 64 * 1024;
    size_t TopicsPerDocShard = 2000;
    // Longer page texts are cut (at a character boundary) in the text shards.
    size_t MaxSnippetText = 32 * 1024;

private:
    void FlushTexts();
    void FlushDocs();
    uint32_t TermId(const std::string& term);

    std::string FDir;
    uint32_t FTopicCount = 0;
    // The ids and titles of the topics not yet written to a d<N>.js shard, as
    // JSON array items.
    std::string FDocIds;
    std::string FDocTitles;
    std::vector<uint32_t> FDocStarts;
    // Each term's text is held once: the map's keys view the deque's strings,
    // which stay in place as it grows.
    std::deque<std::string> FTerms;
    std::unordered_map<std::string_view, uint32_t> FTermIds;
    // Per term its topics, each as a variable-length number (seven bits a
    // byte, low bits first): the topic's distance from the term's previous
    // topic << 9 | count << 4 | where, bit 8 for a topic that has the word
    // itself rather than only a form with that stem. Most distances are
    // short, so a posting takes two or three bytes instead of four, and the
    // many terms of one or two topics fit inside the string itself.
    std::vector<std::string> FPostings;
    std::vector<uint32_t> FLastTopic;
    std::string FTextShard;
    size_t FTextShardCount = 0;
    std::vector<uint32_t> FTextStarts;
};

} // namespace qm
