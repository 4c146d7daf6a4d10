#pragma once
// The code page of a compiled help file. The viewer shows the contents, the
// index and the topic table in the code page of the language the project
// file declares, so all of them (and the pages, whose titles fill the topic
// table) are written in one code page chosen from the names they carry.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::chm {

enum class TChmCodePage {
    Windows1251, // Cyrillic, declared as Russian (0x419)
    Windows1252, // Western European, declared as US English (0x409)
};

// The Windows-1252 byte of a code point, or nothing when the code page lacks it.
[[nodiscard]] std::optional<unsigned char> Cp1252ByteOf(char32_t codePoint);

[[nodiscard]] std::optional<unsigned char> ChmByteOf(TChmCodePage page, char32_t codePoint);

// Windows-1252 when every name fits it and at least one holds a letter that
// Windows-1251 lacks (é, ö, ß, ñ ...); Windows-1251 otherwise, so that a
// Cyrillic or plain ASCII project is written as before.
[[nodiscard]] TChmCodePage ChooseChmCodePage(const std::vector<std::string_view>& names);

// The names the compiled file shows: the help's title, and the title and
// index entries of every topic published to CHM.
[[nodiscard]] TChmCodePage ChooseChmCodePage(const TDocProject& project);

// "windows-1251" or "windows-1252", for the pages' and sitemaps' meta line.
[[nodiscard]] const char* ChmCharset(TChmCodePage page);
// "0x419" or "0x409", for the project file's Language= line.
[[nodiscard]] const char* ChmLanguageId(TChmCodePage page);

// Text for the contents, index and project files: a character the code page
// lacks becomes its closest plain letter (é gives e in Windows-1251) or "?".
[[nodiscard]] std::string EncodeChmText(TChmCodePage page, std::string_view utf8);
// Text for the pages: a character the code page lacks becomes a numeric
// character reference, so nothing is lost.
[[nodiscard]] std::string EncodeChmHtml(TChmCodePage page, std::string_view utf8);

// The same stand-ins as EncodeChmText, but the result stays UTF-8: for text
// that is later encoded with the page around it, yet must not carry
// character references (the compiler copies a page's <title> into the topic
// table as it is written).
[[nodiscard]] std::string FoldToChmCodePage(TChmCodePage page, std::string_view utf8);

} // namespace qm::chm
