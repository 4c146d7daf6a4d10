// The scan for src="..." and href="..." against the regular expression it
// replaced, kept here as the reference: a table of edge cases and a seeded
// stream of random pages built from the pieces the expression reacts to.
#include "linkcheck/ReferenceScan.h"
#include "base/Regex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace qm;

namespace {

std::string Scanned(const std::string& page) {
    std::string out;
    ForEachQuotedReference(TValidUtf8{page},
                           [&](std::string_view ref) { out += "[" + std::string(ref) + "]"; });
    return out;
}

std::string Reference(const std::string& page) {
    static const TRegex re(R"re((src|href)\s*=\s*"([^"]+)")re", {.Caseless = true});
    std::string out;
    re.ForEachMatch(page,
                    [&](const TRegexMatch& m) { out += "[" + std::string(m.Group(2)) + "]"; });
    return out;
}

TEST(ReferenceScan, AgreesWithTheExpressionOnEdgeCases) {
    const char* cases[] = {
        "",
        "src=\"a.png\"",
        "SRC \t\n= \v\f\r\"a b\"",
        "HrEf=\"x\ny\"",
        "\xC5\xBFrc=\"long s\"", // U+017F matches "s" without case
        "\xC5\xBFRC=\"long s\"",
        "\xC3\xA9src=\"after e acute\"",
        "src=\"\"",
        "src=\"\" href=\"b\"",
        "src=\"unclosed",
        "src='single'",
        "title=\"src=\" href=\"b\"",
        "src=\"a\"src=\"b\"",
        "src==\"a\"",
        "rc=\"a\" sr c=\"b\" hre f=\"c\"",
        "src\xC2\xA0=\"nbsp is no space\"",
        "=\"x\"",
        "src=\"a\"\"b\"",
    };
    for (const char* c : cases)
        EXPECT_EQ(Scanned(c), Reference(c)) << c;
}

TEST(ReferenceScan, AgreesWithTheExpressionOnRandomPages) {
    const char* pieces[] = {"src", "SRC",      "sRc",      "href",  "HREF", "s",      "rc", "h",
                            "ref", "=",        " ",        "\t",    "\r\n", "\"",     "'",  "a.png",
                            "x",   "\xC5\xBF", "\xC3\xA9", "<img ", ">",    "doc:AB", "#"};
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
