#include "base/Json.h"

#include "CommaLocale.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::TCommaLocale;

TEST(JsonWrite, EscapesToPureAscii) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"a\"b\\c/d", R"("a\"b\\c\/d")"},
        {"\b\t\n\f\r", R"("\b\t\n\f\r")"},
        {std::string("\x01\x1F", 2), R"("\u0001\u001F")"},
        {"\x7F", "\"\x7F\""},              // DEL stays as it is
        {"caf\xC3\xA9", R"("caf\u00E9")"}, // upper-case hex
        {"\xE2\x82\xAC", R"("\u20AC")"},
        {"\xF0\x9F\x98\x80", R"("\uD83D\uDE00")"}, // beyond the basic plane
        {std::string("\0", 1), R"("\u0000")"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonQuote(c.in), c.out);
}

TEST(JsonWrite, CompactWithMembersInInsertionOrder) {
    Json o = Json::object();
    o["z"] = 1;
    o["a"] = Json::array({true, false, 1.5, 2.0, -3});
    o["m"] = Json::object();
    EXPECT_EQ(JsonWrite(o), R"({"z":1,"a":[true,false,1.5,2,-3],"m":{}})");
}

TEST(JsonDocument, TextFormKeepsNumbersAsWritten) {
    auto doc = TJsonDocument::Parse(R"({"a":1.50,"b":[1e1,7],"c":"s","d":true,"e":null})");
    ASSERT_TRUE(doc);
    const Json& r = doc->Root();
    EXPECT_EQ(doc->TextForm(r["a"]), "1.50");
    EXPECT_EQ(doc->TextForm(r["b"][0]), "1e1");
    EXPECT_EQ(doc->TextForm(r["b"][1]), "7");
    EXPECT_EQ(doc->TextForm(r["c"]), "s");
    EXPECT_EQ(doc->TextForm(r["d"]), "true");
    EXPECT_FALSE(TJsonDocument::Parse("{not json"));
    EXPECT_FALSE(TJsonDocument::Parse(""));
}

TEST(JsonDocument, NestingUpToTheLimitParses) {
    const auto nested = [](size_t depth, std::string_view open, std::string_view close) {
        std::string s;
        for (size_t i = 0; i < depth; ++i)
            s += open;
        s += "1";
        for (size_t i = 0; i < depth; ++i)
            s += close;
        return s;
    };
    struct Case {
        const char* what;
        std::string text;
        bool parses;
    };
    const Case cases[] = {
        {"arrays at the limit", nested(kJsonMaxDepth, "[", "]"), true},
        {"arrays one deeper", nested(kJsonMaxDepth + 1, "[", "]"), false},
        {"objects at the limit", nested(kJsonMaxDepth, "{\"a\":", "}"), true},
        {"objects one deeper", nested(kJsonMaxDepth + 1, "{\"a\":", "}"), false},
        {"mixed one deeper", "{\"a\":" + nested(kJsonMaxDepth, "[", "]") + "}", false},
        // Levels that are closed again do not add up.
        {"siblings at the limit",
         "[" + nested(kJsonMaxDepth - 1, "[", "]") + "," + nested(kJsonMaxDepth - 1, "[", "]") +
             "]",
         true},
        // Brackets inside strings are text.
        {"brackets in a string", "[\"" + std::string(2 * kJsonMaxDepth, '[') + "\"]", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TJsonDocument::Parse(c.text).has_value(), c.parses) << c.what;
}

TEST(JsonWrite, NumbersInShortestFormWhateverTheLocale) {
    // A desktop in a comma locale must still write JSON numbers with a point.
    const TCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << comma.Problem();
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{1.5, "1.5"}, {2.0, "2"}, {10.0, "10"}, {1.15, "1.15"}, {0.1, "0.1"}};
    for (const auto& c : cases)
        EXPECT_EQ(JsonWrite(Json(c.value)), c.text);
}
