#include "publish/webhelp/SearchIndex.h"
#include "publish/webhelp/SearchText.h"

#include "base/Json.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;

namespace {

// The data one shard script hands to window.__qzSearch.
Json ShardData(const std::string& file, const std::string& kind, int n) {
    const std::string text = ReadFile(file);
    const std::string head = "window.__qzSearch(\"" + kind + "\"," + std::to_string(n) + ",";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 2), ");");
    return Json::parse(text.substr(head.size(), text.size() - head.size() - 2));
}

// What the viewer sees: term -> (topic number -> bits), read back from the
// dictionary and every posting shard.
struct TReadBack {
    Json Dict;
    std::map<std::string, std::map<int, int>> Postings;
    std::vector<Json> Texts; // per topic: [text, keywords, index entries]
};

TReadBack ReadBack(const std::string& dir) {
    TReadBack r;
    r.Dict = ShardData(dir + "/search/index.js", "index", 0);
    r.Dict["ids"] = Json::array();
    r.Dict["titles"] = Json::array();
    for (size_t d = 0; d < r.Dict["docs"].size(); ++d) {
        const Json docs =
            ShardData(dir + "/search/d" + std::to_string(d) + ".js", "d", static_cast<int>(d));
        EXPECT_EQ(r.Dict["docs"][d].get<size_t>(), r.Dict["ids"].size()) << "topic shard " << d;
        for (size_t i = 0; i < docs["ids"].size(); ++i) {
            r.Dict["ids"].push_back(docs["ids"][i]);
            r.Dict["titles"].push_back(docs["titles"][i]);
        }
    }
    const Json& terms = r.Dict["terms"];
    const Json& parts = r.Dict["parts"];
    for (size_t p = 0; p < parts.size(); ++p) {
        const Json lists =
            ShardData(dir + "/search/p" + std::to_string(p) + ".js", "p", static_cast<int>(p));
        const size_t first = parts[p].get<size_t>();
        for (size_t k = 0; k < lists.size(); ++k) {
            int topic = 0;
            auto& m = r.Postings[terms[first + k].get<std::string>()];
            for (size_t j = 0; j + 1 < lists[k].size(); j += 2) {
                topic += lists[k][j].get<int>();
                m[topic] = lists[k][j + 1].get<int>();
            }
        }
    }
    const Json& texts = r.Dict["texts"];
    for (size_t t = 0; t < texts.size(); ++t) {
        const Json shard =
            ShardData(dir + "/search/t" + std::to_string(t) + ".js", "t", static_cast<int>(t));
        EXPECT_EQ(texts[t].get<size_t>(), r.Texts.size()) << "text shard " << t;
        for (const Json& entry : shard)
            r.Texts.push_back(entry);
    }
    return r;
}

constexpr int kSurface = 256;

} // namespace

TEST(SearchText, WordsFoldCaseAndAccentsAndSplitCjk) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"Hello, World-wide 2nd", {"hello", "world", "wide", "2nd"}},
        {"Cr\xC3\xA8me BR\xC3\x9BL\xC3\x89\x45", {"creme", "brulee"}}, // Crème BRÛLÉE
        {"\xC3\x98re \xC5\x81\xC3\xB3\x64\xC5\xBA", {"ore", "lodz"}},  // Øre Łódź
        {"\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0 \xD0\xB9",
         {"\xD0\xB5\xD0\xBB\xD0\xBA\xD0\xB0", "\xD0\xB9"}}, // Ёлка й
        {"e\xCC\x81t\xC3\xA9", {"ete"}},                    // combining accent
        {"\xE8\xA8\xAD\xE5\xAE\x9A abc\xE3\x81\xA7",
         {"\xE8\xA8\xAD", "\xE5\xAE\x9A", "abc", "\xE3\x81\xA7"}},
        {"a\xC2\xA0"
         "b\xE2\x80\x94"
         "c",
         {"a", "b", "c"}},                            // no-break space, dash
        {"\xF0\x9D\x90\x80x", {"\xF0\x9D\x90\x80x"}}, // 𝐀 (math bold A) has no lower case
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SearchWords(c.text), c.words);
    }
}

// The word splitter's fast paths (lower-case ASCII handed over in place,
// ASCII runs joined to letters beyond ASCII) against the plain rule applied
// one code point at a time, on random mixes of the characters that matter.
TEST(SearchText, WordsMatchTheOneCharacterAtATimeRule) {
    const auto reference = [](std::string_view text) {
        std::vector<std::string> words;
        std::string word;
        const auto flush = [&] {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        };
        for (size_t pos = 0; pos < text.size();) {
            const char32_t raw = NextCodePoint(text, pos);
            bool cjk = false;
            int c = -1;
            if (raw < 0x80) {
                const auto b = static_cast<char>(raw);
                if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9'))
                    c = b;
                else if (b >= 'A' && b <= 'Z')
                    c = b + 32;
            } else {
                c = search_detail::FoldWordChar(raw, cjk);
            }
            if (c < 0 || cjk)
                flush();
            if (c > 0)
                AppendUtf8(word, static_cast<char32_t>(c));
            if (cjk)
                flush();
        }
        flush();
        return words;
    };
    const char* const pieces[] = {"a",
                                  "Z",
                                  "7",
                                  " ",
                                  "-",
                                  "\xC3\xA9",
                                  "\xC3\x89",
                                  "\xCC\x81",
                                  "\xE8\xA8\xAD",
                                  "\xC2\xA0",
                                  "\xE2\x80\x94",
                                  "\xD0\x81",
                                  "\xF0\x9D\x90\x80",
                                  "&",
                                  "Ab",
                                  "xyz"};
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            text += pieces[random() % std::size(pieces)];
        SCOPED_TRACE(text);
        ASSERT_EQ(SearchWords(text), reference(text));
    }
}

TEST(SearchText, StemsMeetAcrossWordForms) {
    const std::vector<std::vector<std::string>> groups = {
        {"task", "tasks"},
        {"install", "installs", "installing", "installed", "installation", "installations"},
        {"configure", "configuring", "configured", "configuration"},
        {"connect", "connection", "connected"},
        {"query", "queries"},
        {"box", "boxes"},
        {"run", "running"},
        {"stop", "stopped"},
    };
    for (const auto& g : groups)
        for (const std::string& w : g)
            EXPECT_EQ(SearchStem(w), SearchStem(g[0])) << w;
    // Words the endings would wreck stay whole; other scripts are not touched.
    for (const char* w :
         {"string", "class", "status", "analysis", "bus", "sing", "red", "use", "caf\xC3\xA9",
          "\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB0\xD1\x87\xD0\xB8", "2010s"})
        EXPECT_EQ(SearchStem(w), w) << w;
}

TEST(SearchText, CharacterReferencesAreDecoded) {
    EXPECT_EQ(DecodeHtmlEntities("R&eacute;sum&eacute; &amp; &#233;&#xE9; &nbsp;&#160;"),
              "R\xC3\xA9sum\xC3\xA9 & \xC3\xA9\xC3\xA9 \xC2\xA0 ");
    // Unknown names, bad numbers and a lone ampersand stay as written.
    EXPECT_EQ(DecodeHtmlEntities("&bogus; &#0; &#xD800; &#99999999; & &;"),
              "&bogus; &#0; &#xD800; &#99999999; & &;");
}

TEST(SearchIndex, FieldsStemsAndShardsReadBack) {
    TTempDir dir;
    const std::vector<std::string> entriesA = {"Installation", "setup"};
    const std::vector<std::string> none;
    {
        TWebHelpSearchIndex index(dir.Path());
        index.TextShardTopics = 2; // three topics: two text shards, two topic shards
        index.TopicsPerDocShard = 2;
        index.PostingShardBytes = 40;
        index.Add(
            {"A", "Installing the tool", "alpha", &entriesA, "Run the tasks. Tasks &amp; more"});
        index.Add({"B", "Tasks", "", &none, "A task is a R&eacute;sum&eacute;."});
        index.Add({"C", "Caf\xC3\xA9", "", nullptr, ""});
        index.Finish();
    }
    const TReadBack r = ReadBack(dir.Path());
    EXPECT_EQ(r.Dict["ids"], Json::parse(R"(["A","B","C"])"));
    EXPECT_EQ(r.Dict["titles"][2], "Caf\xC3\xA9");
    EXPECT_GT(r.Dict["parts"].size(), 1u) << "small shards were asked for";
    EXPECT_EQ(r.Dict["docs"].size(), 2u);

    using TIdx = TWebHelpSearchIndex;
    const std::map<int, int> install = {{0, TIdx::kTitle | TIdx::kIndexEntry}};
    EXPECT_EQ(r.Postings.at("install"), install) << "the stem, not a word of its own";
    EXPECT_EQ(r.Postings.at("installing"), (std::map<int, int>{{0, TIdx::kTitle | kSurface}}));
    EXPECT_EQ(r.Postings.at("installation"),
              (std::map<int, int>{{0, TIdx::kIndexEntry | kSurface}}));
    EXPECT_EQ(r.Postings.at("alpha"), (std::map<int, int>{{0, TIdx::kKeyword | kSurface}}));
    // "Tasks" twice in A's text: a count of 2; B has it in its title and "task" in the text.
    EXPECT_EQ(r.Postings.at("tasks"), (std::map<int, int>{{0, TIdx::kText | 2 << 4 | kSurface},
                                                          {1, TIdx::kTitle | kSurface}}));
    EXPECT_EQ(r.Postings.at("task"),
              (std::map<int, int>{{0, TIdx::kText | 2 << 4},
                                  {1, TIdx::kTitle | TIdx::kText | 1 << 4 | kSurface}}));
    EXPECT_EQ(r.Postings.at("resume"), (std::map<int, int>{{1, TIdx::kText | 1 << 4 | kSurface}}));
    EXPECT_EQ(r.Postings.at("cafe"), (std::map<int, int>{{2, TIdx::kTitle | kSurface}}));
    EXPECT_EQ(r.Postings.count("amp"), 0u) << "references are read as the characters they name";

    // Terms sorted for the viewer's binary search.
    std::vector<std::string> terms = r.Dict["terms"].get<std::vector<std::string>>();
    EXPECT_TRUE(std::is_sorted(terms.begin(), terms.end()));

    ASSERT_EQ(r.Texts.size(), 3u);
    EXPECT_EQ(r.Texts[0],
              Json::parse(R"(["Run the tasks. Tasks & more","alpha","Installation; setup"])"));
    EXPECT_EQ(r.Texts[1][0], "A task is a R\xC3\xA9sum\xC3\xA9.");
}

// Postings are kept packed while the pages come in; topics far apart and the
// largest counts must read back as they went in.
TEST(SearchIndex, DistantTopicsAndFullCountsReadBack) {
    TTempDir dir;
    const std::string many = [] {
        std::string t;
        for (int i = 0; i < 20; ++i)
            t += "Rare ";
        return t;
    }();
    {
        TWebHelpSearchIndex index(dir.Path());
        for (int i = 0; i < 20000; ++i) {
            const bool rare = i == 0 || i == 127 || i == 128 || i == 19999;
            index.Add({"T" + std::to_string(i), rare ? "Rare" : "", "", nullptr,
                       rare && i > 0 ? std::string_view(many) : "common"});
        }
        index.Finish();
    }
    const TReadBack r = ReadBack(dir.Path());
    using TIdx = TWebHelpSearchIndex;
    const int full = TIdx::kTitle | TIdx::kText | 15 << 4 | kSurface;
    EXPECT_EQ(r.Postings.at("rare"),
              (std::map<int, int>{
                  {0, TIdx::kTitle | kSurface}, {127, full}, {128, full}, {19999, full}}));
    EXPECT_EQ(r.Postings.at("common").size(), 19997u) << "all but the three long texts";
    EXPECT_EQ(r.Dict["ids"].size(), 20000u);
    EXPECT_EQ(r.Dict["ids"][19999], "T19999");
}

TEST(SearchIndex, EmptyHelpAndLongTexts) {
    TTempDir dir;
    {
        TWebHelpSearchIndex index(dir.Path());
        index.Finish();
    }
    const TReadBack empty = ReadBack(dir.Path());
    EXPECT_TRUE(empty.Dict["ids"].empty());
    EXPECT_TRUE(empty.Dict["terms"].empty());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() + "/search/p0.js"));

    TTempDir other;
    {
        TWebHelpSearchIndex index(other.Path());
        index.MaxSnippetText = 5;
        // The cut falls inside the two bytes of é: the text ends before it.
        index.Add({"A", "T", "", nullptr, "abcd\xC3\xA9z far"});
        index.Finish();
    }
    const TReadBack cut = ReadBack(other.Path());
    EXPECT_EQ(cut.Texts[0][0], "abcd");
    EXPECT_EQ(cut.Postings.count("far"), 1u) << "the whole text is indexed";
}

TEST(SearchIndex, TermsSortAsTheViewerComparesThem) {
    // U+FF21 (fullwidth A, lower-cased to U+FF41) and U+1D400 (math bold A): in UTF-16
    // the surrogate pair of the latter sorts first, in UTF-8 last.
    TTempDir dir;
    {
        TWebHelpSearchIndex index(dir.Path());
        index.Add({"A", "\xEF\xBC\xA1 \xF0\x9D\x90\x80 z", "", nullptr, ""});
        index.Finish();
    }
    const TReadBack r = ReadBack(dir.Path());
    EXPECT_EQ(r.Dict["terms"], Json::parse(R"(["z","\uD835\uDC00","\uFF41"])"));
}

TEST(SearchIndex, SmallerPublishRemovesOnlyItsOwnSurplusShards) {
    namespace fs = std::filesystem;
    TTempDir dir;
    const auto publish = [&](int topics) {
        TWebHelpSearchIndex index(dir.Path());
        index.TextShardTopics = 1;
        index.TopicsPerDocShard = 1;
        index.PostingShardBytes = 1;
        for (int i = 0; i < topics; ++i) {
            const std::string id = "T" + std::to_string(i);
            const std::string words = "word" + std::to_string(i) + " shared";
            index.Add({id, words, "", nullptr, words});
        }
        index.Finish();
    };
    publish(12);
    const std::string search = dir.Path() + "/search/";
    ASSERT_TRUE(fs::exists(search + "t11.js"));
    ASSERT_TRUE(fs::exists(search + "d11.js"));
    ASSERT_TRUE(fs::exists(search + "p12.js"));

    // The reader's own files: in search/ under other names, and shard-like names elsewhere.
    const std::vector<std::string> own = {
        "search/notes.txt", "search/p07.js",  "search/x99.js", "search/t99.js.bak",
        "search/p.js",      "search/d12.jsx", "p40.js",        "assets/t30.js"};
    for (const std::string& f : own) {
        fs::create_directories(fs::path(dir.Path() + "/" + f).parent_path());
        std::ofstream(dir.Path() + "/" + f) << "mine";
    }
    fs::create_directories(search + "t40.js"); // a folder, not a shard

    publish(2);
    const TReadBack r = ReadBack(dir.Path());
    EXPECT_EQ(r.Dict["ids"], Json::parse(R"(["T0","T1"])"));
    ASSERT_EQ(r.Texts.size(), 2u);

    const std::string counts[][2] = {{"d", "docs"}, {"p", "parts"}, {"t", "texts"}};
    for (const auto& [kind, member] : counts) {
        const size_t written = r.Dict[member].size();
        for (size_t n = 0; n < 40; ++n)
            EXPECT_EQ(fs::exists(search + kind + std::to_string(n) + ".js"), n < written)
                << kind << n << ".js with " << written << " written";
    }
    for (const std::string& f : own)
        EXPECT_TRUE(fs::exists(dir.Path() + "/" + f)) << f;
    EXPECT_TRUE(fs::is_directory(search + "t40.js"));
}
