#include "import/ImportCleaning.h"
#include "import/TagAttribute.h"

#include <gtest/gtest.h>

using namespace qm;

struct TextCase {
    const char* input;
    const char* expected;
};

TEST(ExtractImportBody, KeepsTheBodyContent) {
    const TextCase cases[] = {
        // a fragment without a body is imported whole, minus what never belongs in a topic
        {"<!DOCTYPE html>\n<p>One</p><SCRIPT type=x>\nalert(1)\n</script><p>Two</p>\n",
         "<p>One</p><p>Two</p>"},
        {"<html><head><title>T</title><meta charset=utf-8></head><p>x</p></html>", "<p>x</p>"},
        {"<html><head><style>p{}</style></head><BODY class=a>\n <p>x</p>\n</Body></html>",
         "<p>x</p>"},
        // no closing body tag: everything after the opening tag
        {"<body><p>x</p><div>y</div>", "<p>x</p><div>y</div>"},
        {"<body><link rel=stylesheet href=a.css><style>\np{}\n</style><p>x</p></body>", "<p>x</p>"},
        {"<body><title>T</title></body>", ""},
        {"<body onload=\"f()\"><script>f()</script>  </body>", ""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(ExtractImportBody(c.input), c.expected) << c.input;
}

TEST(BodyWrapperOpenTag, CarriesClassStyleLangAndDir) {
    const TextCase cases[] = {
        {"<body class=\"wide\" onload=\"init()\"><p>x</p></body>", "<div class=\"wide\">"},
        {"<BODY dir=rtl lang='ar' style=\"color:red\" class=x>",
         "<div class=\"x\" style=\"color:red\" lang=\"ar\" dir=\"rtl\">"},
        {"<body class=\"a &amp; b\">", "<div class=\"a &amp;amp; b\">"},
        {"<body class=\"\" onload=\"f()\">", ""},
        {"<body>", ""},
        {"<p>no body</p>", ""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(BodyWrapperOpenTag(c.input), c.expected) << c.input;
}

TEST(NeutraliseSectioningTags, LayoutElementsBecomePlainBlocks) {
    const TextCase cases[] = {
        {"<section id=\"s1\" class=c><p>x</p></section>", "<div id=\"s1\" class=c><p>x</p></div>"},
        {"< ARTICLE><Header>h</header >< / article>", "<div><div>h</div>< / article>"},
        {"<figure><figcaption>c</figcaption></figure>", "<div><div>c</div></div>"},
        {"<time datetime=\"2023-01-15\">Jan</time> <mark>m</mark>",
         "<span datetime=\"2023-01-15\">Jan</span> <span>m</span>"},
        {"<picture><source srcset=a.webp><img src=a.png></picture>",
         "<source srcset=a.webp><img src=a.png>"},
        {" <template id=t><img src=x.png>\n</template><p>after</p> ", "<p>after</p>"},
        // words that only begin like a sectioning tag are left alone
        {"<sections><mainframe>", "<sections><mainframe>"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(NeutraliseSectioningTags(c.input), c.expected) << c.input;
}

TEST(ReadTagAttribute, QuotedSingleQuotedOrBare) {
    struct Case {
        const char* tag;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"<link rel=\"stylesheet\" href='a.css'>", "href", "a.css"},
        {"<link REL = stylesheet href=a.css>", "rel", "stylesheet"},
        {"<body class=\"a &amp; b\">", "class", "a &amp; b"},
        {"<body data-style=\"x\" style=\"y\">", "style", "x"},
        {"<body>", "class", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadTagAttribute(c.tag, c.name), c.value) << c.tag;
}

TEST(DecodeAttributeValue, OnlyWhatTheImportEncodesAgain) {
    EXPECT_EQ(DecodeAttributeValue("a?x=1&amp;y=&quot;2&#39;&lt;&gt;"), "a?x=1&y=\"2'<>");
    EXPECT_EQ(DecodeAttributeValue("&amp;lt; &eacute; &#233; & &amp"),
              "&lt; &eacute; &#233; & &amp");
}
