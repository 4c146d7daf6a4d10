// HtmlToPlainText against the routine it replaced, one regular expression per
// step, kept here as the reference: a table of edge cases and a seeded stream
// of random pages built from the pieces the steps react to.
#include "base/Regex.h"
#include "base/StringUtil.h"
#include "html/HtmlUtils.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

using namespace qm;

namespace {

std::string CollapseSpaceRuns(std::string_view text) {
    std::string out;
    bool inRun = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
            if (!inRun)
                out.push_back(' ');
            inRun = true;
        } else {
            out.push_back(c);
            inRun = false;
        }
    }
    return out;
}

std::string ReferencePlainText(std::string_view html) {
    static const TRegex scriptOrStyle{R"re(<(script|style)[^>]*>.*?</\1>)re",
                                      {.Caseless = true, .DotAll = true}};
    static const TRegex tag{R"re(<[^>]+>)re"};
    const auto space = [](const TRegexMatch&) { return std::string(" "); };
    std::string text = scriptOrStyle.Replace(html, space);
    text = tag.Replace(text, space);
    text = ReplaceAllAsciiNoCase(text, "&nbsp;", " ");
    text = ReplaceAllAsciiNoCase(text, "&amp;", "&");
    text = ReplaceAllAsciiNoCase(text, "&lt;", "<");
    text = ReplaceAllAsciiNoCase(text, "&gt;", ">");
    text = ReplaceAllAsciiNoCase(text, "&quot;", "\"");
    text = ReplaceAllAsciiNoCase(text, "&#39;", "'");
    return TrimCtl(CollapseSpaceRuns(text));
}

TEST(PlainTextReference, EdgeCases) {
    const char* cases[] = {
        "",
        "<>",
        "<<>",
        "a<>b",
        "<>>x<",
        "a<b<c>d",
        "<a <script>x</script> b>",
        "<script>a</style>b</script>c",
        "<scripts>a</script>b",
        "<script>a</scripts>b</script>c",
        "<\xC5\xBF"
        "cript>x</SCRIPT>y",
        "<script>x</\xC5\xBF"
        "cript>y",
        "<\xC5\xBFtyle>x</style>y<style>z</\xC5\xBF"
        "TYLE>w",
        "<script x=\">\">a</script>b",
        "<script>",
        "<script",
        "<style>a<script>b</style>c</script>d",
        "&amp;lt;&AMP;GT;&amp;amp;lt;&amp;nbsp;&nbsp;&NbSp;",
        "&amp&lt &#39 &#39;&#039; &quot;&QUOT",
        "&&amp;&amp;&lt;",
        "& amp; &<b>amp;</b>",
        " \x01 a \x01 ",
        "\xE2\x80\x83 em space \xC2\xA0",
        "x&nbsp;\t&nbsp;y",
        "</script><script></script>",
    };
    for (const char* c : cases)
        EXPECT_EQ(HtmlToPlainText(c), ReferencePlainText(c)) << c;
}

TEST(PlainTextReference, RandomPages) {
    static const char* kPieces[] = {
        "<",        ">",        "</",          "script",     "SCRIPT",   "Style",
        "style",    "\xC5\xBF", "&",           "amp;",       "AmP;",     "lt;",
        "gt;",      "nbsp;",    "quot;",       "#39;",       " ",        "\t",
        "\r\n",     "\f\v",     "\x01",        "\x1f",       "x",        "word",
        "<b>",      "</b>",     "<p a=\"1\">", "<!-- c -->", "\xC3\xA9", "\xF0\x9F\x98\x80",
        "&amp;lt;", ";",        "#",           "39",         "\"",       "'",
        "<script>", "</script>"};
    std::mt19937 rng(20261210);
    for (int i = 0; i < 20000; ++i) {
        std::string page;
        const int pieces = static_cast<int>(rng() % 40);
        for (int k = 0; k < pieces; ++k)
            page += kPieces[rng() % std::size(kPieces)];
        ASSERT_EQ(HtmlToPlainText(page), ReferencePlainText(page)) << page;
    }
}

} // namespace
