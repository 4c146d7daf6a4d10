// The topic-link scan against the regular expression it replaced, kept here
// as the reference: a table of edge cases and a seeded stream of random
// pages built from the pieces the expression reacts to.
#include "html/DocLinkScan.h"
#include "base/Regex.h"
#include "html/HtmlUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace qm;

namespace {

std::string Scanned(const std::string& page) {
    std::string out;
    ForEachDocLink(TValidUtf8{page}, [&](const TDocLinkSpan& l) {
        out +=
            std::to_string(l.Start) + "-" + std::to_string(l.End) + ":" + std::string(l.Id) + " ";
    });
    return out;
}

std::string Reference(const std::string& page) {
    static const TRegex docLink{R"re(href\s*=\s*["']doc:([a-fA-F0-9]{32})["'])re",
                                {.Caseless = true}};
    std::string out;
    docLink.ForEachMatch(page, [&](const TRegexMatch& m) {
        out += std::to_string(m.Start()) + "-" + std::to_string(m.End()) + ":" +
               std::string(m.Group(1)) + " ";
    });
    return out;
}

const std::string kId = "0123456789abcdefABCDEF0123456789";

TEST(DocLinkScan, AgreesWithTheExpressionOnEdgeCases) {
    const std::string cases[] = {
        "",
        "href=\"doc:" + kId + "\"",
        "HrEf \t\n\v\f\r= \r'doc:" + kId + "\"",
        "href='DOC:" + kId + "'",
        "hhref=\"doc:" + kId + "\"x",
        "href=\"doc:" + kId + "0\"",
        "href=\"doc:" + kId.substr(1) + "\"",
        "href=\"doc:" + kId.substr(0, 31) + "G\"",
        "href=\"doc:" + kId,
        "href==\"doc:" + kId + "\"",
        "href=\"\"doc:" + kId + "\"",
        "href\xC2\xA0=\"doc:" + kId + "\"", // a no-break space is no \s
        "ref=\"doc:" + kId + "\"",
        "href=\"doc:" + kId + "\"href=\"doc:" + kId + "\"",
        ":doc:href=\"doc:" + kId + "\"::",
        "\xC3\xA9href = 'doc:" + kId + "'\xC3\xA9",
    };
    for (const std::string& c : cases)
        EXPECT_EQ(Scanned(c), Reference(c)) << c;
    EXPECT_EQ(CollectDocLinkIds("<a href=\"doc:" + kId + "\">x</a>"),
              std::vector<std::string>{kId});
    EXPECT_EQ(RewriteDocLinks("<a HREF = 'doc:" + kId + "'>x</a>",
                              [](const std::string& id) { return id + ".html"; }),
              "<a href=\"" + kId + ".html\">x</a>");
    EXPECT_THROW((void)CollectDocLinkIds("href=\"doc:\xFF"), EEncodingError);
    EXPECT_THROW((void)RewriteDocLinks("\xC3", {}), EEncodingError);
}

TEST(DocLinkScan, AgreesWithTheExpressionOnRandomPages) {
    const std::string pieces[] = {"href",
                                  "HREF",
                                  "hReF",
                                  "h",
                                  "ref",
                                  "=",
                                  " ",
                                  "\t",
                                  "\n",
                                  "\"",
                                  "'",
                                  "doc:",
                                  "DoC:",
                                  ":",
                                  "doc",
                                  kId,
                                  kId.substr(0, 16),
                                  "0",
                                  "g",
                                  "\xC3\xA9",
                                  "<a ",
                                  ">"};
    std::mt19937 rng(20261210);
    for (int i = 0; i < 30000; ++i) {
        std::string page;
        const int n = static_cast<int>(rng() % 30);
        for (int k = 0; k < n; ++k)
            page += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(Scanned(page), Reference(page)) << page;
    }
}

} // namespace
