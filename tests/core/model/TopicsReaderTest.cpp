// The streaming topics.json reader against the loader it replaced, which
// parsed the whole file into a JSON tree and walked it; that loader is kept
// here as the reference. Both must agree on every text: the same error
// message, or the same root ids and topics in the same order.
#include "model/TopicsReader.h"
#include "TempDir.h"
#include "base/Error.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace qm;

namespace {

const std::string kPath = "/p/meta/topics.json";

const Json* ArrayMember(const Json& obj, const char* name) {
    const Json* m = JsonMember(&obj, name);
    if (m != nullptr && !m->is_array())
        throw EJsonError(std::string("Invalid type cast: \"") + name + "\" is not an array in " +
                         kPath);
    return m;
}

std::vector<std::string> TextList(const TJsonDocument& doc, const Json* arr) {
    std::vector<std::string> out;
    if (arr != nullptr)
        for (const auto& e : *arr)
            out.push_back(doc.TextForm(e));
    return out;
}

std::string TextMember(const TJsonDocument& doc, const Json& obj, const char* name) {
    const Json* m = JsonMember(&obj, name);
    return m == nullptr ? std::string() : doc.TextForm(*m);
}

void ReferenceRead(std::string_view text, TDocProject& project) {
    auto doc = TJsonDocument::Parse(text);
    if (!doc)
        throw EJsonError("The file is damaged (not valid JSON): " + kPath);
    const Json& root = doc->Root();
    if (!root.is_object())
        throw EJsonError("Invalid type cast: the file does not hold a JSON object: " + kPath);
    project.RootTopicIDs = TextList(*doc, ArrayMember(root, "rootTopicIds"));
    const Json* topics = ArrayMember(root, "topics");
    if (topics == nullptr)
        return;
    for (const Json& e : *topics) {
        if (!e.is_object())
            throw EJsonError("Invalid type cast: a topic entry is not an object in " + kPath);
        const std::string id = TextMember(*doc, e, "id");
        if (id.empty())
            continue;
        auto t = std::make_unique<TTopic>();
        t->ID = id;
        t->Title = TextMember(*doc, e, "title");
        t->ParentID = TextMember(*doc, e, "parentId");
        t->ExcludeWeb = AsciiLower(TextMember(*doc, e, "excludeWeb")) == "true";
        t->ExcludeChm = AsciiLower(TextMember(*doc, e, "excludeChm")) == "true";
        t->ExcludePdf = AsciiLower(TextMember(*doc, e, "excludePdf")) == "true";
        t->Children = TextList(*doc, ArrayMember(e, "children"));
        t->Keywords = TextList(*doc, ArrayMember(e, "keywords"));
        t->IndexEntries = TextList(*doc, ArrayMember(e, "index"));
        project.Topics.Add(std::move(t));
    }
}

std::string Joined(const std::vector<std::string>& list) {
    std::string out = "[";
    for (const std::string& s : list)
        out += JsonQuote(s) + ",";
    return out + "]";
}

// Everything the load leaves in the project, or the error it raised.
template <class TRead> std::string Outcome(std::string_view text, TRead read) {
    TDocProject p;
    std::string out;
    try {
        read(text, p);
    } catch (const EJsonError& e) {
        out = std::string("error: ") + e.what() + "\n";
    }
    out += "roots " + Joined(p.RootTopicIDs) + "\n";
    for (const TTopic& t : p.Topics)
        out += JsonQuote(t.ID) + " " + JsonQuote(t.Title) + " " + JsonQuote(t.ParentID) + " " +
               (t.ExcludeWeb ? "W" : "-") + (t.ExcludeChm ? "C" : "-") +
               (t.ExcludePdf ? "P" : "-") + " " + Joined(t.Children) + Joined(t.Keywords) +
               Joined(t.IndexEntries) + "\n";
    return out;
}

void ExpectSameOutcome(std::string_view text) {
    const std::string streamed =
        Outcome(text, [](std::string_view t, TDocProject& p) { ReadTopicsJson(t, kPath, p); });
    const std::string reference = Outcome(text, ReferenceRead);
    ASSERT_EQ(streamed, reference) << text;
}

std::vector<std::string> EdgeCases() {
    const std::string deep = std::string(600, '[') + std::string(600, ']');
    const std::string deepTitle =
        R"({"topics":[{"id":"A","title":)" + std::string(509, '[') + std::string(509, ']') + "}]}";
    const std::string tooDeepTitle =
        R"({"topics":[{"id":"A","title":)" + std::string(510, '[') + std::string(510, ']') + "}]}";
    return {
        "",
        "{}",
        "[]",
        "\"x\"",
        "null",
        "{\"rootTopicIds\":[\"A\"],",
        deep,
        deepTitle,
        tooDeepTitle,
        R"({"rootTopicIds":["A","B"],"topics":[{"id":"A","title":"T","parentId":"",)"
        R"("excludeWeb":true,"excludeChm":false,"excludePdf":"TRUE","children":["B"],)"
        R"("keywords":["k"],"index":["i1","i2"]},{"id":"B","parentId":"A"}]})",
        // text members of every JSON type: numbers as written, containers as JSON
        R"({"rootTopicIds":[1,-0,1.50,2e3,18446744073709551615,true,null,{"a":[1,2.50]},[]],)"
        R"("topics":[{"id":7,"title":{"b":"\/é","a":1},"parentId":[null],"children":[[1]]}]})",
        R"({"topics":[{"id":{"x":1,"x":2}}]})",
        R"({"topics":[{"id":"A","excludeWeb":"True","excludeChm":1,"excludePdf":["true"]}]})",
        R"({"topics":[{"id":"A","excludeWeb":"yes"},{"id":"B","excludeWeb":{"true":1}}]})",
        // a later member of the same name wins, for better or worse
        R"({"topics":"x","topics":[{"id":"A"}]})",
        R"({"topics":[{"id":"A"}],"topics":"x"})",
        R"({"rootTopicIds":{},"rootTopicIds":["A"]})",
        R"({"rootTopicIds":["A"],"rootTopicIds":5})",
        R"({"topics":[{"id":"A","children":"B","children":["C"]}]})",
        R"({"topics":[{"id":"A","children":["C"],"children":{}}]})",
        R"({"topics":[{"id":"A","id":""},{"id":"","id":"B"}]})",
        R"({"topics":[{"id":"A","title":"1","title":[2]}]})",
        // faults and their order
        R"({"rootTopicIds":"A","topics":1})",
        R"({"topics":1,"rootTopicIds":"A"})",
        R"({"topics":[{"id":"A"},1,{"id":"B","children":1}]})",
        R"({"topics":[{"id":"A","children":1},1]})",
        R"({"topics":[{"id":"","children":1},{"title":"x","index":2},[1]]})",
        R"({"topics":[{"id":"A","index":1,"keywords":2,"children":3}]})",
        R"({"topics":[{"id":"A"},{"id":"A"},5]})",
        R"({"topics":[{"id":"A","keywords":{}},{"id":"A"}]})",
        R"({"rootTopicIds":["X"],"topics":[{"id":"A"},{"id":"B","children":"z"}]})",
        // members elsewhere that only look alike
        R"({"other":{"topics":5,"rootTopicIds":{}},"topics":[{"id":"A","x":{"id":"B"}}]})",
        R"({"topics":[{"id":"A","children":[{"id":"B","children":1}]}]})",
        "{\"topics\":[{\"id\":\"A\"}]} x",
        "\xEF\xBB\xBF{}",
        R"({"topics":[{"id":"\u0000\ud83d\ude00"}]})",
    };
}

TEST(TopicsReader, AgreesWithTheTreeLoaderOnEdgeCases) {
    for (const std::string& c : EdgeCases())
        ExpectSameOutcome(c);
}

// The file read a chunk at a time against the whole file read first and
// parsed from memory, as projects were opened before: the same project or
// the same error, encoding faults first wherever they sit.
TEST(TopicsReader, FileReadInChunksAgreesWithTheWholeFile) {
    qm::test::TTempDir dir;
    const std::string file = dir / "topics.json";
    const auto outcome = [&file](auto read) {
        TDocProject p;
        std::string out;
        try {
            read(p);
        } catch (const EQuillmateError& e) {
            out = std::string("error: ") + e.what() + "\n";
        }
        out += "roots " + Joined(p.RootTopicIDs) + "\n";
        for (const TTopic& t : p.Topics)
            out += JsonQuote(t.ID) + " " + JsonQuote(t.Title) + " " + JsonQuote(t.ParentID) + " " +
                   Joined(t.Children) + Joined(t.Keywords) + Joined(t.IndexEntries) + "\n";
        return out;
    };
    std::vector<std::string> cases = EdgeCases();
    const std::vector<std::string> encoding = {
        "\xEF\xBB\xBF{\"topics\":[{\"id\":\"\xC3\xA9\xE2\x82\xAC\"}]}",
        "{\"topics\":[{\"id\":\"A\xFF\"}]}",
        "{\"topics\":[ oops ]}   \xC3",
        "{\"topics\":[{\"id\":\"A\",\"children\":1}]}\xE2\x82",
        "{\"topics\":[]} x \xFF",
        "{\"rootTopicIds\":[\"\xF0\x9F\x98\x80\"]}",
    };
    cases.insert(cases.end(), encoding.begin(), encoding.end());
    for (const std::string& c : cases) {
        qm::test::WriteFile(file, c);
        const std::string whole = outcome([&file](TDocProject& p) {
            std::string text;
            if (ReadTextFileUtf8IfExists(file, text))
                ReadTopicsJson(text, file, p);
        });
        for (size_t chunk : {5, 64 * 1024})
            ASSERT_EQ(outcome([&](TDocProject& p) { ReadTopicsJsonFile(file, p, chunk); }), whole)
                << "chunk " << chunk << ": " << c;
    }
    TDocProject untouched;
    EXPECT_FALSE(ReadTopicsJsonFile(dir / "missing.json", untouched));
    EXPECT_EQ(untouched.Topics.Count(), 0U);
}

// Texts built from the pieces of the format, near enough to it that most of
// them parse and reach every member, plus their truncations. No object repeats
// a member here: the tree loader could pair numbers with the wrong written
// form then (see below), and the edge cases above cover repeated members.
TEST(TopicsReader, AgreesWithTheTreeLoaderOnRandomFiles) {
    std::mt19937 rng(20261210);
    const auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    static const char* kScalars[] = {"\"A\"", "\"B\"", "\"\"", "\"true\"", "true", "false",
                                     "null",  "0",     "-1.5", "0.25",     "7",    "\"\\/x\""};
    static const char* kTopicKeys[] = {"id",         "title",      "parentId", "excludeWeb",
                                       "excludeChm", "excludePdf", "children", "keywords",
                                       "index",      "htmlPath",   "other"};
    // n distinct keys of the first `of` in kTopicKeys, in random order.
    const auto keys = [&](size_t n, size_t of) {
        std::vector<const char*> k(kTopicKeys, kTopicKeys + of);
        std::shuffle(k.begin(), k.end(), rng);
        k.resize(std::min(n, of));
        return k;
    };
    std::function<std::string(int)> value = [&](int depth) -> std::string {
        const size_t kind = depth > 3 ? 0 : pick(6);
        if (kind <= 2)
            return kScalars[pick(std::size(kScalars))];
        std::string out = kind == 3 ? "[" : "{";
        const std::vector<const char*> names = keys(pick(4), std::size(kTopicKeys));
        for (size_t i = 0; i < names.size(); ++i) {
            if (i > 0)
                out += ",";
            if (kind != 3)
                out += "\"" + std::string(names[i]) + "\":";
            out += value(depth + 1);
        }
        return out + (kind == 3 ? "]" : "}");
    };
    const auto list = [&](int depth) {
        if (pick(8) == 0)
            return value(depth);
        std::string out = "[";
        const size_t n = pick(4);
        for (size_t i = 0; i < n; ++i)
            out += (i > 0 ? "," : "") + (pick(5) == 0 ? value(depth) : std::string("\"C\""));
        return out + "]";
    };
    const auto topic = [&]() {
        if (pick(15) == 0)
            return value(1);
        std::string out = "{";
        const std::vector<const char*> names = keys(pick(7), std::size(kTopicKeys));
        for (size_t i = 0; i < names.size(); ++i) {
            const char* key = names[i];
            out += (i > 0 ? "," : "") + std::string("\"") + key + "\":";
            const std::string k = key;
            if (k == "children" || k == "keywords" || k == "index")
                out += list(2);
            else if (k == "id")
                out += pick(4) == 0 ? value(2) : "\"T" + std::to_string(pick(6)) + "\"";
            else
                out += value(2);
        }
        return out + "}";
    };
    for (int i = 0; i < 4000; ++i) {
        std::string text = "{";
        std::vector<int> members = {0, 1, 2};
        std::shuffle(members.begin(), members.end(), rng);
        members.resize(pick(4));
        for (size_t m = 0; m < members.size(); ++m) {
            if (m > 0)
                text += ",";
            switch (members[m]) {
            case 0:
                text += "\"rootTopicIds\":" + list(1);
                break;
            case 2:
                text += "\"other\":" + value(1);
                break;
            default: {
                text += "\"topics\":";
                if (pick(10) == 0) {
                    text += value(1);
                    break;
                }
                text += "[";
                const size_t n = pick(6);
                for (size_t t = 0; t < n; ++t)
                    text += (t > 0 ? "," : "") + topic();
                text += "]";
            }
            }
        }
        text += "}";
        ExpectSameOutcome(text);
        if (i % 8 == 0)
            ExpectSameOutcome(text.substr(0, pick(text.size() + 1)));
    }
}

// Numbers are read as written also when a repeated member has replaced an
// earlier value; the tree loader paired written forms with numbers by their
// place in the file and gave this title the text of the 0.25 after it.
TEST(TopicsReader, NumbersKeepTheirWrittenFormBesideRepeatedMembers) {
    TDocProject p;
    ReadTopicsJson(R"({"topics":7,"other":0.25,"topics":[{"id":"A","title":-1.50}]})", kPath, p);
    EXPECT_EQ(p.GetTopic("A").Title, "-1.50");
}

} // namespace
