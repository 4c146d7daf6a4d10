#include "html/HtmlUtils.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace qm;

namespace {

const std::string kId = "0123456789ABCDEF0123456789ABCDEF";
const std::string kOtherId = "FEDCBA9876543210FEDCBA9876543210";

TEST(HtmlToPlainText, Cases) {
    struct Case {
        std::string html;
        std::string text;
    };
    const Case cases[] = {
        {"<p>Hello&nbsp;<b>world</b></p>", "Hello world"},
        {"<SCRIPT type=\"text/javascript\">\nvar a = 1;\nvar b = 2;\n</script>after", "after"},
        {"<style>p { color: red }</style><p>x</p>", "x"},
        // The closing tag must name the same element.
        {"<script>a</style>b</script>c", "c"},
        {"<script>a</SCRIPT>b", "b"},
        // Without a closing tag only the opening tag goes.
        {"<script>alert(1)", "alert(1)"},
        {"<script>1</script><script>2", "2"},
        {"a &lt; b &AMP; c", "a < b & c"},
        {"&amp;lt;", "<"},
        {"&quot;q&quot; &#39;a&#39;", "\"q\" 'a'"},
        // No other entity is decoded.
        {"caf&eacute; &#233;", "caf&eacute; &#233;"},
        {"<!-- note --><!DOCTYPE html>a\t\r\n\f\vb", "a b"},
        {"  \n ", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlToPlainText(c.html), c.text) << c.html;
}

TEST(CollectDocLinkIds, Cases) {
    const std::string lower = "0123456789abcdef0123456789abcdef";
    struct Case {
        std::string html;
        std::vector<std::string> ids;
    };
    const Case cases[] = {
        {"<a href=\"doc:" + kId + "\">a</a> <a href=\"doc:" + kId + "\">b</a>", {kId, kId}},
        {"<a href = 'doc:" + kId + "'>a</a>", {kId}},
        {"<a HREF=\"DOC:" + lower + "'>a</a>", {lower}},
        {"<a href=\"doc:" + kId.substr(1) + "\">31</a>", {}},
        {"<a href=\"doc:" + kId + "0\">33</a>", {}},
        {"<a href=\"doc:" + kId + "#x\">suffix</a>", {}},
        {"<a href=doc:" + kId + ">unquoted</a>", {}},
        {"<a href=\"doc:" + kOtherId + "\">1</a><a href='doc:" + kId + "'>2</a>", {kOtherId, kId}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CollectDocLinkIds(c.html), c.ids) << c.html;
}

TEST(RewriteDocLinks, WithTargetRule) {
    // A rule like a web target's: pages of known topics, nothing for others.
    const std::set<std::string> known = {kId};
    const TDocLinkTarget toPage = [&](const std::string& id) {
        return known.count(id) != 0 ? id + ".html" : std::string();
    };
    const std::string lower = "0123456789abcdef0123456789abcdef";
    struct Case {
        std::string html;
        std::string expected;
    };
    const Case cases[] = {
        {"<a class=\"x\" HREF = 'doc:" + kId + "' title=\"t\">a</a>",
         "<a class=\"x\" href=\"" + kId + ".html\" title=\"t\">a</a>"},
        {"<a href=\"doc:" + kOtherId + "\">a</a>", "<a href=\"#\">a</a>"},
        // Ids are looked up as written; stored ids are upper case.
        {"<a href=\"doc:" + lower + "\">a</a>", "<a href=\"#\">a</a>"},
        {"x <a href=\"doc:" + kId + "\">1</a> y <a href='doc:" + kOtherId + "'>2</a> z",
         "x <a href=\"" + kId + ".html\">1</a> y <a href=\"#\">2</a> z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RewriteDocLinks(c.html, toPage), c.expected) << c.html;
}

TEST(RewriteDocLinks, RuleTextIsInsertedAsGiven) {
    const TDocLinkTarget fragment = [](const std::string& id) { return "#" + id + "\"&"; };
    EXPECT_EQ(RewriteDocLinks("<a href=\"doc:" + kId + "\">", fragment),
              "<a href=\"#" + kId + "\"&\">");
}

TEST(RewriteDocLinks, WithoutRule) {
    const TDocLinkTarget none;
    const std::string plain = "<p>No <a href=\"page.html\">topic</a> links, doc: here.</p>";
    EXPECT_EQ(RewriteDocLinks(plain, none), plain);
    EXPECT_EQ(RewriteDocLinks("<a href='doc:" + kId + "'>a</a>", none), "<a href=\"#\">a</a>");
}

} // namespace
