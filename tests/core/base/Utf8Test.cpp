#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;

TEST(DecodeUtf16, BothByteOrdersAndBrokenInput) {
    struct Case {
        const char* name;
        std::string bytes; // little-endian; the big-endian form is made by swapping pairs
        std::string utf8;
    };
    const Case cases[] = {
        {"ascii", std::string("<\0p\0>\0", 6), "<p>"},
        {"two and three bytes", std::string("\xFC\x00\xAC\x20", 4), "\xC3\xBC\xE2\x82\xAC"},
        {"surrogate pair", std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},
        {"lone high surrogate", std::string("\x3D\xD8\x41\x00", 4),
         "\xEF\xBF\xBD"
         "A"},
        {"lone low surrogate", std::string("\x00\xDE\x41\x00", 4),
         "\xEF\xBF\xBD"
         "A"},
        {"high surrogate last", std::string("\x41\x00\x3D\xD8", 4), "A\xEF\xBF\xBD"},
        {"odd last byte", std::string("\x41\x00\x42", 3), "A\xEF\xBF\xBD"},
        {"nothing", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeUtf16(c.bytes, false), c.utf8);
        std::string swapped = c.bytes;
        for (size_t i = 0; i + 1 < swapped.size(); i += 2)
            std::swap(swapped[i], swapped[i + 1]);
        EXPECT_EQ(DecodeUtf16(swapped, true), c.utf8);
    }
}
