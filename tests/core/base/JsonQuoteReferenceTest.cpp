// JsonQuote against the character-by-character writer it replaced, kept here
// as the reference: edge cases and seeded random byte strings, invalid UTF-8
// included.
#include "base/Json.h"
#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace qm;

namespace {

void AppendHex4(std::string& out, unsigned v) {
    static const char* kHex = "0123456789ABCDEF";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out.push_back(kHex[(v >> shift) & 0xF]);
}

std::string ReferenceQuote(std::string_view s) {
    std::string out = "\"";
    size_t pos = 0;
    while (pos < s.size()) {
        const auto c = static_cast<unsigned char>(s[pos]);
        if (c < 0x80) {
            ++pos;
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '/':
                out += "\\/";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 32)
                    AppendHex4(out, c);
                else
                    out.push_back(static_cast<char>(c));
            }
            continue;
        }
        char32_t cp = NextCodePoint(s, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendHex4(out, 0xD800u + static_cast<unsigned>(cp >> 10));
            AppendHex4(out, 0xDC00u + static_cast<unsigned>(cp & 0x3FF));
        } else {
            AppendHex4(out, static_cast<unsigned>(cp));
        }
    }
    return out + "\"";
}

TEST(JsonQuoteReference, EdgeCases) {
    const std::string cases[] = {
        "",
        "plain text",
        "\"\\/",
        std::string("\0\x01\x1f\x7f", 4),
        "\b\t\n\f\r",
        "A/B\xC3\xA9",
        "\xF0\x9F\x98\x80",
        "\xEF\xBF\xBF",
        "\xC3",
        "\xC3\x28",
        "\xED\xA0\x80",
        "\xF4\x90\x80\x80",
        "\x80\xBF",
        "tail \xE2\x82",
    };
    for (const std::string& c : cases)
        EXPECT_EQ(JsonQuote(c), ReferenceQuote(c)) << c;
}

TEST(JsonQuoteReference, RandomBytes) {
    std::mt19937 rng(1812);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        const int n = static_cast<int>(rng() % 48);
        for (int k = 0; k < n; ++k) {
            const unsigned r = rng() % 8;
            // Mostly ASCII, with control characters and runs of the bytes
            // that start and continue multi-byte sequences.
            s.push_back(static_cast<char>(r < 4   ? 32 + rng() % 96
                                          : r < 5 ? rng() % 32
                                          : r < 6 ? 0x80 + rng() % 64
                                                  : 0xC0 + rng() % 64));
        }
        std::string appended = "x";
        AppendJsonQuoted(appended, s);
        ASSERT_EQ(JsonQuote(s), ReferenceQuote(s));
        ASSERT_EQ(appended, "x" + ReferenceQuote(s));
    }
}

} // namespace
