#pragma once
// The host side of the editor page's message protocol, free of any web view:
// building the scripts that carry messages to the page and reading the
// messages the page posts back.
#include "base/Json.h"

#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class TTextAlign { taLeft, taCenter, taRight, taJustify };

// The caret's formatting as the page reports it; filled afresh per message.
struct TEditorCursorStyle {
    std::string Area;
    std::string FontName;
    int FontSizePx = 0;
    std::string TextColorHtml;
    std::string BackColorHtml;
    std::string Align;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::string ListType;
    std::string BlockTag;
    std::string LineHeight;
};

// A JavaScript string literal: backslash, double quote, CR and LF escaped.
[[nodiscard]] std::string QuoteJsString(std::string_view text);

// "file:///" + the absolute path with "/" separators; space, "%", "#" and "?"
// percent-encoded so folders such as "C# Docs" still load.
[[nodiscard]] std::string FilePathToFileUrl(const std::string& path);

// The script that hands one message object to the page's receiver.
[[nodiscard]] std::string BuildSendScript(const Json& message);

// Message objects the host sends.
[[nodiscard]] Json MakeSetHtmlMessage(const std::string& html);
[[nodiscard]] Json MakeTypeMessage(const char* type); // "getHtml", "getHeader"
[[nodiscard]] Json MakeExecMessage(const std::string& cmd, const std::string& arg,
                                   bool programmatic);

// Argument texts of the command setters.
[[nodiscard]] std::string AlignArg(TTextAlign align);
[[nodiscard]] std::string LineSpacingArg(double lineHeight);
[[nodiscard]] std::string TableArg(int rows, int cols);

// One message from the page, read leniently: every member as text.
struct TEditorMessage {
    std::string Type; // lower-cased
    TJsonDocument Doc;
    [[nodiscard]] std::string Text(const char* member) const;
    // Decimal integer text, 0 when missing or not an integer ("16px" gives 0).
    [[nodiscard]] int Int(const char* member) const;
    // "true" in any case, or exactly "1".
    [[nodiscard]] bool Flag(const char* member) const;
};

// Nothing when the text is not a JSON object (a posted plain string is ignored).
[[nodiscard]] std::optional<TEditorMessage> ParseEditorMessage(std::string_view jsonText);
[[nodiscard]] TEditorCursorStyle ReadCursorStyle(const TEditorMessage& m);

} // namespace qm
