#include "editor/EditorProtocol.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(EditorProtocol, QuoteJsStringEscapesBackslashFirst) {
    EXPECT_EQ(QuoteJsString("a\\b\"c\r\nd\te"), "\"a\\\\b\\\"c\\r\\nd\te\"");
    EXPECT_EQ(QuoteJsString(""), "\"\"");
}

TEST(EditorProtocol, SendScriptCarriesPureAsciiJson) {
    const std::string script = BuildSendScript(MakeSetHtmlMessage("<p class=\"x\">\n\xC3\xA9</p>"));
    EXPECT_EQ(script,
              "window.__qz_recv && window.__qz_recv(\"{\\\"type\\\":\\\"setHtml\\\","
              "\\\"html\\\":\\\"<p class=\\\\\\\"x\\\\\\\">\\\\n\\\\u00E9<\\\\/p>\\\"}\");");
}

TEST(EditorProtocol, ExecMessages) {
    EXPECT_EQ(JsonWrite(MakeExecMessage("bold", "", false)),
              R"({"type":"exec","cmd":"bold","origin":"user"})");
    EXPECT_EQ(JsonWrite(MakeExecMessage("table", TableArg(3, 4), true)),
              R"({"type":"exec","cmd":"table","origin":"program","arg":"3,4"})");
    EXPECT_EQ(LineSpacingArg(2.0), "2");
    EXPECT_EQ(LineSpacingArg(1.15), "1.15");
    EXPECT_EQ(AlignArg(TTextAlign::taJustify), "justify");
}

TEST(EditorProtocol, FileUrls) {
    struct Case {
        const char* path;
        const char* url;
    };
    const Case cases[] = {
        {"C:\\My Docs\\p\\", "file:///C:/My%20Docs/p/"},
        {"/home/a/C# Docs/100%/x?.css", "file:///home/a/C%23%20Docs/100%25/x%3F.css"},
        {"/p/./q/../r.html", "file:///p/r.html"},
        {"/caf\xC3\xA9/", "file:///caf\xC3\xA9/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FilePathToFileUrl(c.path), c.url) << c.path;
}

TEST(EditorProtocol, ReadingMessages) {
    EXPECT_FALSE(ParseEditorMessage("\"just a string\""));
    EXPECT_FALSE(ParseEditorMessage("{broken"));
    auto m = ParseEditorMessage(R"({"type":"HTMLRESPONSE","html":"x"})");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Type, "htmlresponse");

    struct FlagCase {
        const char* json;
        bool user;
    };
    const FlagCase flags[] = {{R"({"user":1})", true},      {R"({"user":"1"})", true},
                              {R"({"user":true})", true},   {R"({"user":"TRUE"})", true},
                              {R"({"user":"yes"})", false}, {R"({})", false}};
    for (const auto& f : flags)
        EXPECT_EQ(ParseEditorMessage(f.json)->Flag("user"), f.user) << f.json;

    auto cs = ParseEditorMessage(
        R"({"type":"cursorStyle","fontSizePx":"16px","bold":"true","lineHeight":1.5,"area":"body"})");
    TEditorCursorStyle s = ReadCursorStyle(*cs);
    EXPECT_EQ(s.FontSizePx, 0);
    EXPECT_TRUE(s.Bold);
    EXPECT_EQ(s.LineHeight, "1.5");
    EXPECT_EQ(s.Area, "body");
    EXPECT_EQ(ReadCursorStyle(*ParseEditorMessage(R"({"fontSizePx":15.5})")).FontSizePx, 0);
    EXPECT_EQ(ReadCursorStyle(*ParseEditorMessage(R"({"fontSizePx":18})")).FontSizePx, 18);
}
