// Documents nested far deeper than any file of the program: each must be
// refused as not JSON without running out of stack. The CTest timeout of this
// executable only catches a hang.
#include "base/Json.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

using namespace qm;

namespace {

std::string Nested(size_t depth, std::string_view open, std::string_view inner,
                   std::string_view close) {
    std::string s;
    s.reserve(depth * (open.size() + close.size()) + inner.size());
    for (size_t i = 0; i < depth; ++i)
        s += open;
    s += inner;
    for (size_t i = 0; i < depth; ++i)
        s += close;
    return s;
}

TEST(JsonPathological, DeepNestingIsNotJson) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"arrays", Nested(100'000, "[", "1.5", "]")},
        {"objects", Nested(100'000, "{\"a\":", "2.5", "}")},
        {"alternating", Nested(60'000, "{\"a\":[", "null", "]}")},
        // Never closed: the parse stops at the limit, not at the end.
        {"unclosed arrays", std::string(1'000'000, '[')},
        {"project file shape",
         "{\"title\":\"t\",\"root\":" + Nested(120'000, "[", "\"x\"", "]") + "}"},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(TJsonDocument::Parse(c.text).has_value()) << c.what;
}

} // namespace
