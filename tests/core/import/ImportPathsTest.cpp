#include "import/ImportPaths.h"
#include "base/Error.h"
#include "base/StringUtil.h"
#include "import/AnsiText.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(IsExternalReference, AddressesAndEmptyText) {
    struct Case {
        const char* text;
        bool external;
    };
    const Case cases[] = {
        {"", true},
        {"   ", true},
        {" HTTPS://x/a.png", true},
        {"http://x", true},
        {"data:image/png,", true},
        {"MailTo:a@b", true},
        {"doc:0123", true},
        {"//cdn/x.js", true},
        {"#top", true},
        {"javascript:f()", true},
        {"tel:123", true},
        {"cid:part1", true},
        {"img/a.png", false},
        {"/img/a.png", false},
        {"file:///tmp/a.png", false},
        {"ftp://x/a.png", false},
        {"httpdocs/a.png", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsExternalReference(c.text), c.external) << c.text;
}

TEST(StripQueryAndFragment, CutsAtHashThenQuestionMark) {
    EXPECT_EQ(StripQueryAndFragment("  a.png?v=2#x "), "a.png");
    EXPECT_EQ(StripQueryAndFragment("a.png#x?y"), "a.png");
    EXPECT_EQ(StripQueryAndFragment("?only"), "");
}

TEST(UrlDecode, PlusPercentAndUtf8Runs) {
    EXPECT_EQ(UrlDecode("a+b%20c"), "a b c");
    EXPECT_EQ(UrlDecode("100%%"), "100%");
    EXPECT_EQ(UrlDecode("caf%C3%A9"), "caf\xC3\xA9");
    for (const char* bad : {"a%zz", "a%4", "a%", "%C3"})
        EXPECT_THROW((void)UrlDecode(bad), EConvertError) << bad;
}

TEST(DecodeWindows1252, HighBytesBecomeTheirCharacters) {
    EXPECT_EQ(DecodeWindows1252("caf\xE9 \x80 \x93x\x94 \x81"),
              "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xC2\x81");
}

class ResolveImportPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        page = dir / "site/pages";
        WriteFile(page + "/img/a b c.png", "x");
        WriteFile(page + "/img/site-root.png", "x");
        WriteFile(dir / "site/shared.png", "x");
    }
    TTempDir dir;
    std::string page;
};

TEST_F(ResolveImportPathTest, RelativeEscapedAndFileUrlReferences) {
    struct Case {
        std::string reference;
        std::string expected;
    };
    const std::string abc = page + "/img/a b c.png";
    const Case cases[] = {
        {"img/a b%20c.png", abc},
        {"img/a+b+c.png?v=1#top", abc},
        {"img\\a b c.png", abc},
        {"./img/../img/a b c.png", abc},
        {"../shared.png", dir / "site/shared.png"},
        {"file://" + abc, abc},
        {"FILE:///" + ReplaceAll(abc.substr(1), " ", "%20"), abc},
        // a site-root reference that is not at the root is looked for beside the page
        {"/img/site-root.png", page + "/img/site-root.png"},
        {abc, abc}, // an absolute path that exists stays itself
        // references that cannot name a file here
        {"file:///C:/Users/a/img.png", ""},
        {"C:\\Users\\a\\img.png", ""},
        {"img/a%zz.png", ""},
        {"img/a%3Cb.png", ""},
        {"img/a|b.png", ""},
        {"?v=1", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveImportPath(c.reference, page), c.expected) << c.reference;
}

TEST_F(ResolveImportPathTest, StyleSheetsDoNotRetryBesideTheSheet) {
    EXPECT_EQ(ResolveCssPath("/img/site-root.png", page), "/img/site-root.png");
    EXPECT_EQ(ResolveCssPath("img/a%20b%20c.png", page), page + "/img/a b c.png");
}
