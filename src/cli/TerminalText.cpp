#include "TerminalText.h"

#include "base/Utf8.h"

namespace qm::cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
    out += "\\x";
    out.push_back(kHex[c >> 4]);
    out.push_back(kHex[c & 0xF]);
}

void AppendAsciiControl(std::string& out, unsigned char c) {
    switch (c) {
    case 0x1B:
        out += "\\e";
        break;
    case '\t':
        out += "\\t";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    default:
        AppendHexByte(out, c);
    }
}

} // namespace

std::string TerminalSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                AppendAsciiControl(out, c);
            else
                out.push_back(static_cast<char>(c));
            ++pos;
            continue;
        }
        const size_t start = pos;
        const char32_t cp = NextCodePoint(text, pos);
        // NextCodePoint steps over a malformed byte alone; a real U+FFFD
        // takes three.
        if (pos - start == 1) {
            AppendHexByte(out, c);
        } else if (cp <= 0x9F) {
            out += "\\u00";
            out.push_back(kHex[(cp >> 4) & 0xF]);
            out.push_back(kHex[cp & 0xF]);
        } else {
            out.append(text, start, pos - start);
        }
    }
    return out;
}

} // namespace qm::cli
