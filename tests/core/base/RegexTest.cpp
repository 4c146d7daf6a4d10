#include "base/Regex.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace qm;

namespace {

struct TSpan {
    size_t Start;
    size_t End;
    bool operator==(const TSpan&) const = default;
};

std::vector<TSpan> Spans(const TRegex& re, std::string_view subject, TRegexWindow window = {}) {
    std::vector<TSpan> spans;
    re.ForEachMatch(
        subject,
        [&](const TRegexMatch& m) {
            spans.push_back({m.Start(), m.End()});
        },
        window);
    return spans;
}

std::vector<TRegexMatch> AllMatches(const TRegex& re, std::string_view subject) {
    std::vector<TRegexMatch> all;
    re.ForEachMatch(subject, [&](const TRegexMatch& m) { all.push_back(m); });
    return all;
}

TEST(Regex, OptionsDecideWhatMatches) {
    struct Case {
        const char* pattern;
        TRegexOptions options;
        std::string subject;
        bool matches;
    };
    const Case cases[] = {
        {"a.b", {}, "a\nb", false},
        {"a.b", {.DotAll = true}, "a\nb", true},
        {"VAR", {}, "var", false},
        {"VAR", {.Caseless = true}, "var", true},
        // UTF mode: case folding reaches beyond ASCII and a dot is a whole character.
        {"\xC3\x89t\xC3\xA9", {.Caseless = true}, "\xC3\xA9T\xC3\x89", true},
        {"^.$", {}, "\xC3\xA9", true},
        // A caseless back-reference matches the other case too.
        {R"(<(?<tag>p|div)>x</\k<tag>>)", {.Caseless = true}, "<P>x</p>", true},
        {R"(<(?<tag>p|div)>x</\k<tag>>)", {.Caseless = true}, "<p>x</div>", false},
    };
    for (const Case& c : cases) {
        const TRegex re(c.pattern, c.options);
        EXPECT_EQ(re.Search(c.subject).has_value(), c.matches) << c.pattern << " on " << c.subject;
    }
}

TEST(Regex, GroupsByNumberAndName) {
    const TRegex re(R"((?<key>\w+)=(?<value>\d+)?)");
    const std::vector<TRegexMatch> all = AllMatches(re, "a=1 bb= c=33");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(re.GroupNumber("value"), 2u);
    EXPECT_EQ(re.GroupNumber("nope"), TRegexMatch::npos);

    EXPECT_EQ(all[0].Group("key"), "a");
    EXPECT_EQ(all[0].Group(2), "1");
    EXPECT_EQ(all[1].Group(), "bb=");
    EXPECT_EQ(all[1].Start(1), 4u);
    EXPECT_FALSE(all[1].Matched(2));
    EXPECT_EQ(all[1].Start(2), TRegexMatch::npos);
    EXPECT_EQ(all[1].Group("value"), "");
    EXPECT_EQ(all[2].Start(2), 10u);
    EXPECT_EQ(all[2].End(2), 12u);
}

TEST(Regex, IterationStepsOverEmptyMatchesByWholeCharacters) {
    // "é" is two bytes; the search after the empty match at 0 must not land inside it.
    EXPECT_EQ(Spans(TRegex("x*"), "\xC3\xA9xx"), (std::vector<TSpan>{{0, 0}, {2, 4}, {4, 4}}));
    EXPECT_EQ(Spans(TRegex("a|"), "ba"), (std::vector<TSpan>{{0, 0}, {1, 2}, {2, 2}}));
}

TEST(Regex, WindowLimitsWhereMatchesStartAndEnd) {
    const TRegex re("a+b?");
    EXPECT_EQ(Spans(re, "ab ab ab ab"), (std::vector<TSpan>{{0, 2}, {3, 5}, {6, 8}, {9, 11}}));
    EXPECT_EQ(Spans(re, "ab ab ab ab", {.End = 7, .LastStart = 6}),
              (std::vector<TSpan>{{0, 2}, {3, 5}, {6, 7}}));
    EXPECT_EQ(Spans(re, "ab ab ab ab", {.LastStart = 4}), (std::vector<TSpan>{{0, 2}, {3, 5}}));
}

TEST(Regex, WindowBeforeLastCloser) {
    const TRegex closer(R"(</x>)");
    struct Case {
        std::string subject;
        bool found;
        size_t end;
        size_t lastStart;
    };
    const Case cases[] = {
        {"<x>a</x><x>b</x><x>open", true, 16, 10},
        {"<x>a", false, 0, 0},
        // A closer with no ">" before it: no opening tag can end in time.
        {"</x> text", false, 0, 0},
    };
    for (const Case& c : cases) {
        const std::optional<TRegexWindow> w = WindowBeforeLastCloser(closer, c.subject, '>');
        ASSERT_EQ(w.has_value(), c.found) << c.subject;
        if (w) {
            EXPECT_EQ(w->End, c.end) << c.subject;
            EXPECT_EQ(w->LastStart, c.lastStart) << c.subject;
        }
    }
}

TEST(Regex, ReplaceKeepsTextBetweenMatchesAndDoesNotRescan) {
    const TRegex re(R"(\{(\w+)\})");
    const auto wrap = [](const TRegexMatch& m) { return "{" + std::string(m.Group()) + "}"; };
    EXPECT_EQ(re.Replace("a{x}b{y}", wrap), "a{{x}}b{{y}}");
    EXPECT_EQ(re.Replace("no tokens", wrap), "no tokens");
}

TEST(Regex, CallbackMaySearchAgainWithTheSameExpression) {
    const TRegex re(R"(\d+)");
    std::vector<std::string> outer;
    re.ForEachMatch("1 22 333", [&](const TRegexMatch& m) {
        // Reuses this thread's match data; the outer match must be unaffected.
        EXPECT_EQ(AllMatches(re, "9 8 7 6").size(), 4u);
        outer.emplace_back(m.Group());
    });
    EXPECT_EQ(outer, (std::vector<std::string>{"1", "22", "333"}));
}

TEST(Regex, SharedByThreads) {
    const TRegex re(R"((?<word>[a-z]+)(?<num>\d*))", {.Caseless = true});
    std::string subject;
    for (int i = 0; i < 2000; ++i)
        subject += "word" + std::to_string(i) + " ";
    const size_t expected = AllMatches(re, subject).size();
    std::vector<size_t> counts(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < counts.size(); ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                counts[t] += AllMatches(re, subject).size();
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(expected, 2000u);
    for (size_t count : counts)
        EXPECT_EQ(count, expected * 20);
}

TEST(Regex, Errors) {
    EXPECT_THROW(TRegex("(unclosed"), ERegexError);
    EXPECT_THROW((void)TRegex("a").Search("bad \xC3 byte"), EEncodingError);
}

} // namespace
