#include "publish/chm/ChmCodePage.h"

#include "publish/chm/ChmPage.h"
#include "publish/chm/Cp1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <stdexcept>
#include <string>

using namespace qm::chm;

namespace {

// The C library's Windows-1252 converter as an independent reference: the
// UTF-8 text of one byte, or "" when the byte is unassigned.
std::string Cp1252ByteToUtf8ByIconv(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1252");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv has no CP1252");
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return "";
    return std::string(out, sizeof out - outLeft);
}

} // namespace

TEST(ChmCodePage, EveryUpperByteOf1252MatchesTheSystemConverter) {
    int assigned = 0;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        const std::string utf8 = Cp1252ByteToUtf8ByIconv(static_cast<unsigned char>(b));
        SCOPED_TRACE(b);
        if (utf8.empty())
            continue;
        ++assigned;
        EXPECT_EQ(EncodeChmText(TChmCodePage::Windows1252, utf8),
                  std::string(1, static_cast<char>(b)));
    }
    EXPECT_EQ(assigned, 123) << "five bytes are unassigned";
}

TEST(ChmCodePage, ChoiceFollowsTheNames) {
    struct Case {
        const char* why;
        std::vector<std::string_view> names;
        TChmCodePage expected;
    };
    const Case cases[] = {
        {"plain ASCII", {"Installing", "Index"}, TChmCodePage::Windows1251},
        {"French", {"Installing", "R\xC3\xA9sum\xC3\xA9"}, TChmCodePage::Windows1252},
        {"German sharp s",
         {"Gr\xC3\xB6\xC3\x9F"
          "e"},
         TChmCodePage::Windows1252},
        {"Spanish n", {"Espa\xC3\xB1ol"}, TChmCodePage::Windows1252},
        {"Cyrillic", {"\xD0\x96\xD1\x83\xD0\xBA"}, TChmCodePage::Windows1251},
        {"French and Cyrillic", {"R\xC3\xA9sum\xC3\xA9", "\xD0\x96"}, TChmCodePage::Windows1251},
        {"euro and dash fit both", {"\xE2\x82\xAC \xE2\x80\x94"}, TChmCodePage::Windows1251},
        {"Czech c caron fits neither", {"\xC4\x8D", "\xC3\xA9"}, TChmCodePage::Windows1251},
        {"Chinese fits neither", {"\xE4\xB8\xAD", "\xC3\xA9"}, TChmCodePage::Windows1251},
        {"no names", {}, TChmCodePage::Windows1251},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseChmCodePage(c.names), c.expected) << c.why;
}

TEST(ChmCodePage, TextAndHtmlInEachCodePage) {
    struct Case {
        TChmCodePage page;
        std::string utf8;
        std::string text;
        std::string html;
        std::string folded;
    };
    const std::string mixed = "Gr\xC3\xB6\xC3\x9F"
                              "e \xD0\x96 \xE2\x82\xAC \xE4\xB8\xAD";
    const Case cases[] = {
        {TChmCodePage::Windows1252, mixed,
         "Gr\xF6\xDF"
         "e ? \x80 ?",
         "Gr\xF6\xDF"
         "e &#1046; \x80 &#20013;",
         "Gr\xC3\xB6\xC3\x9F"
         "e ? \xE2\x82\xAC ?"},
        {TChmCodePage::Windows1251, mixed, "Gro?e \xC6 \x88 ?",
         "Gr&#246;&#223;e \xC6 \x88 &#20013;", "Gro?e \xD0\x96 \xE2\x82\xAC ?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ChmCharset(c.page));
        EXPECT_EQ(EncodeChmText(c.page, c.utf8), c.text);
        EXPECT_EQ(EncodeChmHtml(c.page, c.utf8), c.html);
        EXPECT_EQ(FoldToChmCodePage(c.page, c.utf8), c.folded);
    }
    // The Windows-1251 forms are those the pages were always written with.
    EXPECT_EQ(EncodeChmText(TChmCodePage::Windows1251, mixed), EncodeCp1251(mixed));
    EXPECT_EQ(EncodeChmHtml(TChmCodePage::Windows1251, mixed), EncodeCp1251Html(mixed));
}

TEST(ChmCodePage, PageTitleTextIsPlainAndSafe) {
    struct Case {
        TChmCodePage page;
        std::string title;
        std::string expected;
    };
    const Case cases[] = {
        {TChmCodePage::Windows1252, "R\xC3\xA9sum\xC3\xA9", "R\xC3\xA9sum\xC3\xA9"},
        {TChmCodePage::Windows1251, "R\xC3\xA9sum\xC3\xA9", "Resume"},
        {TChmCodePage::Windows1251, "A & B < C > \"D\"", "A & B < C > \"D\""},
        {TChmCodePage::Windows1251, "AT&T &copy &#1", "AT&amp;T &amp;copy &amp;#1"},
        {TChmCodePage::Windows1251, "a</title>b", "a&lt;/title>b"},
        {TChmCodePage::Windows1251, "two\r\nlines\t", "two  lines "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChmTitleText(c.page, c.title), c.expected) << c.title;
}
