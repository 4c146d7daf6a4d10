#include "editor/EditorProtocol.h"

#include "base/StringUtil.h"

#include <filesystem>

namespace qm {

std::string QuoteJsString(std::string_view text) {
    std::string r;
    r.reserve(text.size() + 16);
    r.push_back('"');
    for (char c : text) {
        switch (c) {
        case '\\':
            r += "\\\\";
            break;
        case '"':
            r += "\\\"";
            break;
        case '\r':
            r += "\\r";
            break;
        case '\n':
            r += "\\n";
            break;
        default:
            r.push_back(c);
        }
    }
    r.push_back('"');
    return r;
}

std::string FilePathToFileUrl(const std::string& path) {
    std::string abs;
    // A Windows path keeps its drive form; anything else is made absolute here.
    if (path.size() >= 2 && path[1] == ':') {
        abs = path;
    } else {
        std::error_code ec;
        std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
        abs = (ec ? std::filesystem::path(path) : p.lexically_normal()).string();
        // lexically_normal drops nothing of a trailing separator, which marks a folder.
    }
    abs = ReplaceAll(abs, "\\", "/");
    std::string encoded;
    for (char c : abs) {
        switch (c) {
        case ' ':
            encoded += "%20";
            break;
        case '%':
            encoded += "%25";
            break;
        case '#':
            encoded += "%23";
            break;
        case '?':
            encoded += "%3F";
            break;
        default:
            encoded.push_back(c);
        }
    }
    // An absolute POSIX path already starts with "/".
    if (!encoded.empty() && encoded[0] == '/')
        return "file://" + encoded;
    return "file:///" + encoded;
}

std::string BuildSendScript(const Json& message) {
    return "window.__qz_recv && window.__qz_recv(" + QuoteJsString(JsonWrite(message)) + ");";
}

Json MakeSetHtmlMessage(const std::string& html) {
    Json m = Json::object();
    m["type"] = "setHtml";
    m["html"] = html;
    return m;
}

Json MakeTypeMessage(const char* type) {
    Json m = Json::object();
    m["type"] = type;
    return m;
}

Json MakeExecMessage(const std::string& cmd, const std::string& arg, bool programmatic) {
    Json m = Json::object();
    m["type"] = "exec";
    m["cmd"] = cmd;
    m["origin"] = programmatic ? "program" : "user";
    if (!arg.empty())
        m["arg"] = arg;
    return m;
}

std::string AlignArg(TTextAlign align) {
    switch (align) {
    case TTextAlign::taCenter:
        return "center";
    case TTextAlign::taRight:
        return "right";
    case TTextAlign::taJustify:
        return "justify";
    case TTextAlign::taLeft:
        break;
    }
    return "left";
}

std::string LineSpacingArg(double lineHeight) {
    return ReplaceAll(FormatShortestDouble(lineHeight), ",", ".");
}

std::string TableArg(int rows, int cols) {
    return std::to_string(rows) + "," + std::to_string(cols);
}

std::string TEditorMessage::Text(const char* member) const {
    const Json* m = JsonMember(&Doc.Root(), member);
    return m == nullptr ? std::string() : Doc.TextForm(*m);
}

int TEditorMessage::Int(const char* member) const {
    int v = 0;
    return TryParseInt32(Text(member), v) ? v : 0;
}

bool TEditorMessage::Flag(const char* member) const {
    const std::string t = Text(member);
    return SameTextAscii(t, "true") || t == "1";
}

std::optional<TEditorMessage> ParseEditorMessage(std::string_view jsonText) {
    auto doc = TJsonDocument::Parse(jsonText);
    if (!doc || !doc->Root().is_object())
        return std::nullopt;
    TEditorMessage m{"", std::move(*doc)};
    m.Type = AsciiLower(m.Text("type"));
    return m;
}

TEditorCursorStyle ReadCursorStyle(const TEditorMessage& m) {
    TEditorCursorStyle s;
    s.Area = m.Text("area");
    s.FontName = m.Text("fontName");
    s.FontSizePx = m.Int("fontSizePx");
    s.TextColorHtml = m.Text("textColor");
    s.BackColorHtml = m.Text("backColor");
    s.Align = m.Text("align");
    s.Bold = m.Flag("bold");
    s.Italic = m.Flag("italic");
    s.Underline = m.Flag("underline");
    s.ListType = m.Text("listType");
    s.BlockTag = m.Text("blockTag");
    s.LineHeight = m.Text("lineHeight");
    return s;
}

} // namespace qm
