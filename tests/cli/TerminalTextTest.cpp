#include "TerminalText.h"

#include <gtest/gtest.h>

#include <string>

using qm::cli::TerminalSafe;

namespace {

TEST(TerminalSafe, ControlsBecomeVisibleEscapes) {
    struct Case {
        const char* what;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"window title and clear screen", "\x1B]0;PWNED\a\x1B[2J", R"(\e]0;PWNED\x07\e[2J)"},
        {"line breaks and tabs", "a\nb\r\nc\td", R"(a\nb\r\nc\td)"},
        {"NUL and the last C0 control", std::string("\0\x1F", 2), R"(\x00\x1f)"},
        {"DEL", "x\x7Fy", R"(x\x7fy)"},
        {"C1 controls",
         "\xC2\x80 \xC2\x9B"
         "6n \xC2\x9F",
         R"(\u0080 \u009b6n \u009f)"},
        {"malformed bytes", "\x9B[2J \xC2 \xFF", R"(\x9b[2J \xc2 \xff)"},
        {"overlong escape", "\xC0\x9B", R"(\xc0\x9b)"},
        {"printable text unchanged", "Caf\xC3\xA9 \xC2\xA0 \xE2\x82\xAC \xF0\x9F\x98\x80 \\e [1]",
         "Caf\xC3\xA9 \xC2\xA0 \xE2\x82\xAC \xF0\x9F\x98\x80 \\e [1]"},
        {"replacement character unchanged", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TerminalSafe(c.in), c.out) << c.what;
}

} // namespace
