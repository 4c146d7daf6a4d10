#include "publish/chm/Cp1251.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

using namespace qm::chm;

namespace {

// The C library's own Windows-1251 converter, as an independent reference:
// the UTF-8 text of one byte, or "" when the byte is unassigned.
std::string Cp1251ByteToUtf8ByIconv(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv has no CP1251");
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

TEST(ChmCp1251, EveryUpperByteMatchesTheSystemConverter) {
    int assigned = 0;
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        const std::string utf8 = Cp1251ByteToUtf8ByIconv(static_cast<unsigned char>(b));
        SCOPED_TRACE(b);
        if (utf8.empty())
            continue;
        ++assigned;
        EXPECT_EQ(EncodeCp1251Html(utf8), std::string(1, static_cast<char>(b)));
        EXPECT_EQ(EncodeCp1251(utf8), std::string(1, static_cast<char>(b)));
    }
    EXPECT_EQ(assigned, 127); // all but 0x98
}

TEST(ChmCp1251, TextInBothForms) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string html;    // pages
        std::string sitemap; // contents, index and project files
    };
    const Case cases[] = {
        {"ascii", "A&b <c>", "A&b <c>", "A&b <c>"},
        {"zhe, de, euro, em dash", "\xD0\x96\xD0\x94\xE2\x82\xAC\xE2\x80\x94", "\xC6\xC4\x88\x97",
         "\xC6\xC4\x88\x97"},
        {"e acute", "caf\xC3\xA9", "caf&#233;", "cafe"},
        {"capital S caron", "\xC5\xA0koda", "&#352;koda", "Skoda"},
        {"chinese", "\xE4\xB8\xAD", "&#20013;", "?"},
        {"outside the basic plane", "\xF0\x9F\x98\x80", "&#128512;", "?"},
        {"sharp s has no stand-in",
         "stra\xC3\x9F"
         "e",
         "stra&#223;e", "stra?e"},
        {"invalid UTF-8 byte",
         "a\xFF"
         "b",
         "a&#65533;b", "a?b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EncodeCp1251Html(c.utf8), c.html);
        EXPECT_EQ(EncodeCp1251(c.utf8), c.sitemap);
    }
}
