// The printed manual's changes to topic HTML: inner headings nested in the
// outline, table header rows repeated.
#include "publish/pdf/PdfBodyRules.h"

#include <gtest/gtest.h>

using namespace qm::pdf;

TEST(PdfBodyRules, InnerHeadingsNestBelowTheTopic) {
    struct Case {
        const char* why;
        const char* html;
        size_t topicLevel;
        const char* expected;
    };
    const Case cases[] = {
        {"the highest inner level goes one below the topic", "<h2>A</h2><h3 class=\"x\">B</h3>", 1,
         "<h2 aria-level=\"2\">A</h2><h3 aria-level=\"3\" class=\"x\">B</h3>"},
        {"an inner h1 too", "<H1>A</H1><h2>B</h2>", 2,
         "<H1 aria-level=\"3\">A</H1><h2 aria-level=\"4\">B</h2>"},
        {"never deeper than 6", "<h1>A</h1><h4>B</h4>", 5,
         "<h1 aria-level=\"6\">A</h1><h4 aria-level=\"6\">B</h4>"},
        {"an author's own level stays", "<h2 aria-level=\"4\">A</h2><h2>B</h2>", 1,
         "<h2 aria-level=\"4\">A</h2><h2 aria-level=\"2\">B</h2>"},
        {"not headings", "<hr><h7>x</h7><header>y</header><h1x>z</h1x>", 1,
         "<hr><h7>x</h7><header>y</header><h1x>z</h1x>"},
        {"no headings at all", "<p>text</p>", 1, "<p>text</p>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NestInnerHeadings(c.html, c.topicLevel), c.expected) << c.why;
}

TEST(PdfBodyRules, FirstTableRowsRepeatOnEveryPage) {
    struct Case {
        const char* why;
        const char* html;
        const char* expected;
    };
    const Case cases[] = {
        {"a table of the editor's",
         "<table class=\"t\"><tbody><tr><td>H</td></tr><tr><td>v</td></tr></tbody></table>",
         "<table class=\"t\"><thead><tr><td>H</td></tr></thead><tbody><tr hidden><td>H</td></tr>"
         "<tr><td>v</td></tr></tbody></table>"},
        {"a table with a head of its own stays",
         "<table><thead><tr><th>H</th></tr></thead><tr><td>v</td></tr></table>",
         "<table><thead><tr><th>H</th></tr></thead><tr><td>v</td></tr></table>"},
        {"a nested table in a later row gets its own head",
         "<TABLE><TR><TD>H</TD></TR><TR><TD><table><tr><td>h</td></tr></table></TD></TR></TABLE>",
         "<TABLE><thead><TR><TD>H</TD></TR></thead><TR hidden><TD>H</TD></TR><TR><TD><table>"
         "<thead><tr><td>h</td></tr></thead><tr hidden><td>h</td></tr></table></TD></TR></TABLE>"},
        {"a row without its end tag is left alone", "<table><tr><td>x</table>",
         "<table><tr><td>x</table>"},
        {"a table without rows", "<table></table><track>", "<table></table><track>"},
        {"a table that never ends", "<table><tr><td>x</td></tr>", "<table><tr><td>x</td></tr>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RepeatTableHeaderRows(c.html), c.expected) << c.why;
}
