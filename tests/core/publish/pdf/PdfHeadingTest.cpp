// Section headings: the header's text or the title, and the heading level.
#include "publish/pdf/PdfHeading.h"

#include "model/DocModel.h"

#include "PdfTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

TEST(PdfHeading, HeaderToPlainText) {
    struct Case {
        const char* html;
        const char* text;
    };
    const Case cases[] = {
        // A numeric no-break space is decoded and then becomes a plain space.
        {"<b>Guide</b>&#160;&amp; Help", "Guide & Help"},
        // The named one is not decoded and stays as written.
        {"<p>Guide&nbsp;Help</p>", "Guide&nbsp;Help"},
        // A literal no-break space (UTF-8 C2 A0) becomes a space; the ends are trimmed.
        {"\r\n <div>\xC2\xA0Left\xC2\xA0right\xC2\xA0</div>\t", "Left right"},
        {"<img src=\"assets/images/logo.png\">", ""},
        // Decoding comes after the tags are gone, so escaped markup shows as text.
        {"&lt;b&gt;bold&lt;/b&gt; &quot;q&quot; &apos;a&apos; caf&#233;",
         "<b>bold</b> \"q\" 'a' caf\xC3\xA9"},
        // A ">" inside an attribute value ends the tag; the rest of the tag
        // is text, up to its own ">", which is dropped like any other.
        {"<a title=\"x>y\">T</a>", "y\"T"},
        // A stray ">" is dropped; an unclosed "<" drops everything after it.
        {"a > b <i", "a  b"},
        {"&unknown; & &#xA0;", "&unknown; & &#xA0;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeaderToPlainText(c.html), c.text) << c.html;
}

TEST(PdfHeading, TopicHeadingTextPrefersTheTopicsOwnHeader) {
    const std::string id = "0123456789ABCDEF0123456789ABCDEF";
    struct Case {
        const char* name;
        std::optional<std::string> own;
        std::optional<std::string> fallback;
        std::string heading;
    };
    const Case cases[] = {
        {"no header files", std::nullopt, std::nullopt, "Title & more"},
        {"own header", "<b>Own</b> text", "<b>Default</b>", "Own text"},
        {"default header only", std::nullopt, "<b>Guide</b>&#160;&amp; Help", "Guide & Help"},
        {"default header without text", std::nullopt, "<img src=\"x.png\">", "Title & more"},
        // An own header without text wins over the default and gives the title.
        {"own header without text", "<img src=\"x.png\">", "<b>Default</b>", "Title & more"},
        {"empty own header file", "", "<b>Default</b>", "Title & more"},
    };
    for (const Case& c : cases) {
        TTempDir dir;
        TDocProject p;
        p.RootPath = dir / "proj/";
        if (c.own)
            WriteFile(dir / ("proj/meta/header_" + id + ".html"), *c.own);
        if (c.fallback)
            WriteFile(dir / "proj/meta/header_default.html", *c.fallback);
        EXPECT_EQ(TopicHeadingText(p, id, "Title & more"), c.heading) << c.name;
    }
}

TEST(PdfHeading, HeaderFilesOfIdsThatCannotNameAFileAreNotRead) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "proj/";
    WriteFile(dir / "proj/meta/header_default.html", "Default");
    // What "meta/header_" + id + ".html" would reach for the id "../x".
    WriteFile(dir / "proj/meta/header_../x.html", "Escaped");
    WriteFile(dir / "proj/x.html", "Escaped");
    EXPECT_EQ(TopicHeadingText(p, "../x", "T"), "Default");
    EXPECT_EQ(TopicHeadingText(p, "a\x01z", "T"), "Default");
}

TEST(PdfHeading, LevelFollowsDepthUpToSix) {
    const char* expected[] = {"h1", "h2", "h3", "h4", "h5", "h6", "h6", "h6", "h6"};
    for (size_t depth = 0; depth < std::size(expected); ++depth)
        EXPECT_EQ(PdfHeadingTag(depth), expected[depth]) << depth;
}
