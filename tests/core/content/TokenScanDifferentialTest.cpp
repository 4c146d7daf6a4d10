// The byte scanners against the regular expressions they took over from,
// which stay here as the reference: the same output for every input, on
// hand-picked odd cases and on random texts made of the patterns' pieces.
#include "TempDir.h"
#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/Regex.h"
#include "base/StringUtil.h"
#include "content/ReusableContent.h"
#include "content/TokenExpansion.h"
#include "content/TokenExpansionSteps.h"
#include "content/TokenScan.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace qm;

namespace {

constexpr TRegexOptions kTokenOptions{.Caseless = true, .DotAll = true};
constexpr TRegexOptions kDecorationOptions{.Caseless = true};

std::string NoText(const TRegexMatch&) {
    return {};
}

// What the expansion did with the engine before the scanners.
std::string ReferenceDecoration(std::string_view html) {
    static const TRegex decoratedStyle(
        R"re(\sstyle="[^">]*(border\s*:\s*1px\s+dashed|background\s*:\s*#eef5ff)[^">]*")re",
        kDecorationOptions);
    static const TRegex nonEditable(R"re(\scontenteditable="false")re", kDecorationOptions);
    static const TRegex title(R"re(\stitle="[^"]*")re", kDecorationOptions);
    std::string result = RegexReplaceWith(html, decoratedStyle, NoText);
    result = RegexReplaceWith(result, nonEditable, NoText);
    return RegexReplaceWith(result, title, NoText);
}

std::string ReferenceVariables(std::string_view text, const TReusableProjectContent& store) {
    static const TRegex token(R"re(\{\s*var\s*:\s*(?<name>[^\}]+?)\s*\})re", kTokenOptions);
    return RegexReplaceWith(text, token, [&](const TRegexMatch& m) {
        return HtmlEncode(store.VariableValue(TrimCtl(HtmlDecode(m.Group("name"))), ""));
    });
}

std::string ReferenceMarkerOnlyBlocks(std::string_view html) {
    static const TRegex beginOnly(
        R"re(<(?<tag>p|div|section|article|li|blockquote|h[1-6]|tr|td|th)\b(?<attrs>[^>]*)>)re"
        R"re(\s*(?<token>\{\s*begincond\s*:\s*[^\}]+?\s*\})\s*</\k<tag>>)re",
        kTokenOptions);
    static const TRegex endOnly(
        R"re(<(?<tag>p|div|section|article|li|blockquote|h[1-6]|tr|td|th)\b(?<attrs>[^>]*)>)re"
        R"re(\s*(?<token>\{\s*endcond\s*(?::\s*[^\}]+?\s*)?\})\s*</\k<tag>>)re",
        kTokenOptions);
    const auto token = [](const TRegexMatch& m) { return std::string(m.Group("token")); };
    return RegexReplaceWith(RegexReplaceWith(html, beginOnly, token), endOnly, token);
}

std::string ReferenceConditions(std::string_view html, const TReusableProjectContent& store) {
    static const TRegex namedEnd(R"re(\{\s*begincond\s*:\s*(?<name>[^\}]+?)\s*\}(?<body>.*?))re"
                                 R"re(\{\s*endcond\s*:\s*(?<endname>[^\}]+?)\s*\})re",
                                 kTokenOptions);
    static const TRegex plainEnd(
        R"re(\{\s*begincond\s*:\s*(?<name>[^\}]+?)\s*\}(?<body>.*?)\{\s*endcond\s*\})re",
        kTokenOptions);
    static const TRegex leftover(
        R"re(\{\s*begincond\s*:\s*[^\}]+?\s*\}|\{\s*endcond\s*(?::\s*[^\}]+?\s*)?\})re",
        kTokenOptions);
    const auto name = [](std::string_view written) { return TrimCtl(HtmlDecode(written)); };
    std::string result = ReferenceMarkerOnlyBlocks(html);
    for (int pass = 0; pass < 20; ++pass) {
        std::string next = RegexReplaceWith(result, namedEnd, [&](const TRegexMatch& m) {
            if (!SameTextAscii(name(m.Group("name")), name(m.Group("endname"))))
                return std::string(m.Group());
            return store.ConditionEnabled(name(m.Group("name")), false)
                       ? std::string(m.Group("body"))
                       : std::string();
        });
        next = RegexReplaceWith(next, plainEnd, [&](const TRegexMatch& m) {
            return store.ConditionEnabled(name(m.Group("name")), false)
                       ? std::string(m.Group("body"))
                       : std::string();
        });
        result = std::move(next);
    }
    return RegexReplaceWith(result, leftover, NoText);
}

// Snippets whose HTML holds no token, so that what each token becomes does
// not depend on the snippets around it.
std::string ReferenceSnippets(std::string_view text, const TDocProject& project,
                              const TReusableProjectContent& store) {
    static const TRegex token(R"re(\{\s*snip\s*:\s*(?<name>[^\}]+?)\s*\})re", kTokenOptions);
    const std::optional<TRegexWindow> window = WindowBeforeLastChar(text, '}');
    if (!window)
        return std::string(text);
    return RegexReplaceWith(
        text, token,
        [&](const TRegexMatch& m) {
            const std::string html = store.SnippetHtml(TrimCtl(HtmlDecode(m.Group("name"))), "");
            return html.empty() ? std::string() : ExpandReusableContent(project, html);
        },
        *window);
}

// The decoration stripped, or "throws" when the text is refused.
std::string Outcome(std::string (*strip)(std::string_view), std::string_view html) {
    try {
        return strip(html);
    } catch (const EEncodingError&) {
        return "throws";
    }
}

// Random texts glued from the pieces the patterns look for, in both cases
// and with the long s and the Kelvin sign that caseless matching pairs with
// s and k, so that near misses are as common as matches.
std::string RandomText(std::mt19937& rng, const std::vector<std::string_view>& pieces) {
    std::uniform_int_distribution<size_t> count(0, 40);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    std::string text;
    for (size_t n = count(rng); n > 0; --n)
        text += pieces[pick(rng)];
    return text;
}

const std::vector<std::string_view> kDecorationPieces = {" ",
                                                         "\t",
                                                         "\n",
                                                         "x",
                                                         "=",
                                                         "\"",
                                                         ">",
                                                         "<span",
                                                         " style=\"",
                                                         "style",
                                                         "STYLE",
                                                         "\xC5\xBFtyle",
                                                         "tyle",
                                                         "s",
                                                         "border",
                                                         "BORDER",
                                                         ":",
                                                         " : ",
                                                         "1px",
                                                         "1PX",
                                                         " dashed",
                                                         "da\xC5\xBFhed",
                                                         "dashed",
                                                         "background",
                                                         "bac\xE2\x84\xAAground",
                                                         "#eef5ff",
                                                         "#EEF5FF",
                                                         "#eef5f",
                                                         ";",
                                                         " contenteditable=\"false\"",
                                                         "contenteditable",
                                                         "CONTENTEDITABLE",
                                                         "\"false\"",
                                                         "\"fal\xC5\xBF"
                                                         "e\"",
                                                         "\"true\"",
                                                         " title=\"",
                                                         "title",
                                                         "TITLE",
                                                         "\xC3\xA9",
                                                         "\xE2\x84\xAA"};

const std::vector<std::string_view> kVariablePieces = {
    "{",     "}", " ",     "\t",       "\r\n",     "var",     "VAR",   "Var",
    "va",    ":", "::",    "Product",  "product",  "A&amp;B", "&amp;", "&#80;",
    "&#32;", "x", "{var:", "\xC3\xA9", "\xC5\xBF", "Empty",   "Markup"};

const std::vector<std::string_view> kConditionPieces = {"{",
                                                        "}",
                                                        " ",
                                                        "\n",
                                                        "{begincond:Pro}",
                                                        "{begincond:Beta}",
                                                        "{ BeginCond : pro }",
                                                        "{begincond:}",
                                                        "{begincond: }",
                                                        "{endcond}",
                                                        "{ ENDCOND }",
                                                        "{endcond:Pro}",
                                                        "{endcond:Beta}",
                                                        "{endcond:}",
                                                        "{endcond : }",
                                                        "{begincond:&#80;ro}",
                                                        "{begincond:A}",
                                                        "{endcond:a}",
                                                        "begincond",
                                                        "endcond",
                                                        ":",
                                                        "x",
                                                        "\xC3\xA9",
                                                        "<p>",
                                                        "</p>",
                                                        "<P class=\"c\">",
                                                        "</P>",
                                                        "<pre>",
                                                        "</pre>",
                                                        "<p",
                                                        ">",
                                                        "<",
                                                        "<h2>",
                                                        "</h2>",
                                                        "<h7>",
                                                        "</h7>",
                                                        "<\xC5\xBF"
                                                        "ection>",
                                                        "</section>",
                                                        "<blockquote>",
                                                        "</BLOC\xE2\x84\xAA"
                                                        "QUOTE>",
                                                        "<td>",
                                                        "</td>",
                                                        "<th>",
                                                        "</tr>",
                                                        "<li>",
                                                        "</li>",
                                                        "<div>",
                                                        "</div>",
                                                        "<divx>",
                                                        "</"};

const std::vector<std::string_view> kSnippetPieces = {
    "{",           "}",        " ",      "\t",       "\r\n", "snip",      "SNIP",
    "\xC5\xBFnip", "\xC5\xBF", "sni",    ":",        "Note", "note",      "N&#111;te",
    "&amp;",       "x",        "{snip:", "\xC3\xA9", "var",  "Decorated", "Missing"};

TReusableProjectContent Store() {
    TReusableProjectContent store;
    store.FVariables = {
        {"Product", "A&B"},         {"A&B", "amp"},      {"P", "p"},   {" ", "blank"},
        {"Markup", "<b>\"x\"</b>"}, {"{var:x", "brace"}, {"Empty", ""}};
    return store;
}

TEST(TokenScanDifferential, DecorationOddCases) {
    const std::vector<std::string> cases = {
        "", "<span style=\"border:1px dashed #999\" title=\"t\">x</span>",
        "<b\tSTYLE=\"BACKGROUND : #EEF5FF\"\ncontenteditable=\"FALSE\" TITLE=\"\">",
        // The long s and the Kelvin sign as the engine's caseless matching has them.
        "<b \xC5\xBFtyle=\"border:1px da\xC5\xBFhed\" contenteditable=\"fal\xC5\xBF"
        "e\">",
        "<b style=\"bac\xE2\x84\xAAground:#eef5ff\">",
        // A removed style brings a flag or a title next to a blank.
        "a  style=\"border:1px dashed\"contenteditable=\"false\"title=\"t\"",
        "a  style=\"border:1px dashed\" style=\"background:#eef5ff\"",
        // A style value cut by ">" or by another quote.
        "<b style=\"color:red>border:1px dashed\">", " style=\"a style=\"b border:1px dashed\"",
        " style=\"border:1px dashed contenteditable=\"false\"",
        // No blank before, no quote after, no end quote, single quotes.
        "<b style=\"border:1px dashed\"x style=\"border: 1px dashed\"", "title=\"x\"", " title=x",
        " title=\"never closed", " title='single'", " title=\"a > b\" title=\"c\"",
        " contenteditable=\"false", "border:1pxdashed", " style=\"border:1px\tdashed\"",
        " style=\"border:1px dashedness\"",
        // Invalid UTF-8 is refused.
        "\xBF title=\"x\"", "<p>\xC3</p>"};
    for (const std::string& html : cases)
        EXPECT_EQ(Outcome(StripTokenDecoration, html), Outcome(ReferenceDecoration, html)) << html;
}

TEST(TokenScanDifferential, DecorationRandomTexts) {
    std::mt19937 rng(20261211);
    std::vector<std::string_view> pieces = kDecorationPieces;
    for (int i = 0; i < 30000; ++i) {
        const std::string html = RandomText(rng, pieces);
        ASSERT_EQ(Outcome(StripTokenDecoration, html), Outcome(ReferenceDecoration, html)) << html;
    }
    // Now and then a stray byte that makes the text invalid.
    pieces.push_back("\xBF");
    for (int i = 0; i < 5000; ++i) {
        const std::string html = RandomText(rng, pieces);
        ASSERT_EQ(Outcome(StripTokenDecoration, html), Outcome(ReferenceDecoration, html)) << html;
    }
}

TEST(TokenScanDifferential, VariableOddCases) {
    const TReusableProjectContent store = Store();
    const std::vector<std::string> cases = {
        "Use {var:Product} now",
        "{ VAR : product }",
        "{var:}",
        "{var: }",
        "{var:   }",
        "{var :P}{var: P }{ var:P}",
        "{var:{var:P}}",
        "{{var:P}}",
        "{var:A&amp;B}",
        "{var:&#32;}",
        "{var:P",
        "{vari:P}",
        "{va r:P}",
        "{var:Markup}",
        "{var\n:\nP\n}",
        "}{var:P}{",
        "{\xC5\xBFvar:P}",
    };
    for (const std::string& text : cases)
        EXPECT_EQ(ReplaceVariableTokensInText(text, store), ReferenceVariables(text, store))
            << text;
}

TEST(TokenScanDifferential, VariableRandomTexts) {
    const TReusableProjectContent store = Store();
    std::mt19937 rng(1211);
    for (int i = 0; i < 30000; ++i) {
        const std::string text = RandomText(rng, kVariablePieces);
        ASSERT_EQ(ReplaceVariableTokensInText(text, store), ReferenceVariables(text, store))
            << text;
    }
}

TEST(TokenScanDifferential, ConditionOddCases) {
    const TReusableProjectContent store = Store();
    const std::vector<std::string> cases = {
        "<p>{begincond:Pro}</p><p>Only Pro</p><p>{endcond}</p>",
        "<p>{begincond:Beta}</p><p>Only Beta</p><p>{endcond}</p>",
        "{begincond:A}1{endcond:B}2{endcond:A}",
        "{begincond:Pro}a{begincond:Beta}b{endcond}c{endcond}d",
        "{begincond:Pro}a{begincond:Pro}b{endcond:pro}c{endcond:PRO}d",
        "x{endcond}y{begincond:X}z",
        "<p title=\"{begincond:Beta}\">in a tag{endcond}</p>",
        "<section>{begincond:Pro}</\xC5\xBF"
        "ection><h3> {endcond} </H3>",
        "<pre>{begincond:Pro}</pre>{endcond}<p>{begincond:Pro} x</p>",
        "<p>{begincond:Pro}</div>{endcond}",
        "{begincond:}x{endcond}{endcond:}",
        "{begincond:&#80;ro}entity{endcond}",
        "{begincond:{endcond}}x{endcond}",
        // Of two tag starts before one ">", the leftmost that makes a block.
        "<<p>{begincond:Pro}</p>",
        "<p x<p>{begincond:Pro}</p>",
        "<p>{begincond:Pro}</p>{endcond}</p>",
    };
    for (const std::string& html : cases)
        EXPECT_EQ(ReplaceConditionTokens(html, store), ReferenceConditions(html, store)) << html;
}

TEST(TokenScanDifferential, ConditionRandomTexts) {
    const TReusableProjectContent store = Store();
    std::mt19937 rng(2035);
    for (int i = 0; i < 20000; ++i) {
        const std::string html = RandomText(rng, kConditionPieces);
        ASSERT_EQ(StripConditionMarkerOnlyBlocks(html), ReferenceMarkerOnlyBlocks(html)) << html;
        ASSERT_EQ(ReplaceConditionTokens(html, store), ReferenceConditions(html, store)) << html;
    }
}

TEST(TokenScanDifferential, SnippetRandomTexts) {
    const test::TTempDir dir;
    TDocProject project;
    project.RootPath = dir.Path() + "/";
    const TReusableProjectContent store = Store();
    store.SaveToProject(project);
    const auto outcome = [](const auto& replace) {
        try {
            return replace();
        } catch (const EEncodingError&) {
            return std::string("throws");
        }
    };
    std::mt19937 rng(311);
    std::vector<std::string_view> pieces = kSnippetPieces;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 5000; ++i) {
            const std::string text = RandomText(rng, pieces);
            TSnippetExpansion expansion(text.size(), "");
            ASSERT_EQ(outcome([&] {
                          return ReplaceSnippetTokensInText(text, project, store, expansion);
                      }),
                      outcome([&] { return ReferenceSnippets(text, project, store); }))
                << text;
        }
        // Then with a stray byte now and then: refused the same way.
        pieces.push_back("\xBF");
    }
}

TEST(MatchCaselessWord, Cases) {
    struct TCase {
        std::string_view text;
        std::string_view word;
        std::optional<size_t> length;
    };
    const TCase cases[] = {
        {"Snip", "snip", 4},
        {"\xC5\xBFnip", "snip", 5},
        {"bac\xE2\x84\xAAground", "background", 12},
        {"sni", "snip", std::nullopt},
        {"\"FALSE\"", "\"false\"", 7},
        {"'false'", "\"false\"", std::nullopt},
        {"@", "`", std::nullopt},
        {"1PX", "1px", 3},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(MatchCaselessWord(c.text, 0, c.word), c.length) << c.text;
}

} // namespace
