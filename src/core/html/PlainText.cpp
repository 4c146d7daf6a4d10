// HtmlToPlainText as two scans over the page instead of a regular expression
// per step and a copy of the page per entity. The steps' meaning is that of
// the patterns they replace:
//   1. <(script|style)[^>]*>.*?</\1>   caseless, dot-all -> " "
//   2. <[^>]+>                                           -> " "
//   3-8. &nbsp; &amp; &lt; &gt; &quot; &#39;, caseless, one after the other
//   9-10. runs of white space become one space; ends trimmed
// Caseless matching of the UTF-8 patterns lets U+017F (long s) stand for "s",
// so "<ſcript>" counts as a script element here as it does there.
#include "html/HtmlUtils.h"

#include <cstring>

namespace qm {

namespace {

constexpr std::string_view kLongS = "\xC5\xBF";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Length of `word` (lower-case ASCII) as written at text[pos], letters in
// any case and each "s" also as U+017F; 0 when it is not there.
size_t MatchWord(std::string_view text, size_t pos, std::string_view word) {
    const size_t start = pos;
    for (char w : word) {
        if (pos < text.size() && LowerAscii(text[pos]) == w) {
            ++pos;
        } else if (w == 's' && text.substr(pos, 2) == kLongS) {
            pos += 2;
        } else {
            return 0;
        }
    }
    return pos - start;
}

// Start of the first "</word>" at or after `from`, npos when there is none;
// `length` receives its length.
size_t FindCloser(std::string_view text, size_t from, std::string_view word, size_t& length) {
    for (size_t at = text.find("</", from); at != std::string_view::npos;
         at = text.find("</", at + 1)) {
        const size_t n = MatchWord(text, at + 2, word);
        if (n != 0 && at + 2 + n < text.size() && text[at + 2 + n] == '>') {
            length = n + 3;
            return at;
        }
    }
    return std::string_view::npos;
}

// Step 1. Returns false, leaving `out` alone, when the page has no script
// or style element.
bool RemoveScriptAndStyle(std::string_view html, std::string& out) {
    static constexpr std::string_view kNames[] = {"script", "style"};
    // Once a closer is not found from some point on, it is not found from
    // any later point either.
    bool closerGone[2] = {false, false};
    size_t copied = 0;
    size_t pos = 0;
    bool any = false;
    while ((pos = html.find('<', pos)) != std::string_view::npos) {
        size_t matchEnd = 0;
        for (int k = 0; k < 2 && matchEnd == 0; ++k) {
            if (closerGone[k])
                continue;
            const size_t name = MatchWord(html, pos + 1, kNames[k]);
            if (name == 0)
                continue;
            const size_t gt = html.find('>', pos + 1 + name);
            if (gt == std::string_view::npos)
                return any ? (out.append(html, copied), true) : false;
            size_t closerLength = 0;
            const size_t closer = FindCloser(html, gt + 1, kNames[k], closerLength);
            if (closer == std::string_view::npos)
                closerGone[k] = true;
            else
                matchEnd = closer + closerLength;
        }
        if (matchEnd == 0) {
            ++pos;
            continue;
        }
        if (!any)
            out.reserve(html.size());
        any = true;
        out.append(html, copied, pos - copied);
        out.push_back(' ');
        copied = pos = matchEnd;
    }
    if (any)
        out.append(html, copied);
    return any;
}

// Writes the text of steps 2 to 9 into a buffer at least as long as the
// input (no step makes the text longer).
class TPlainWriter {
public:
    explicit TPlainWriter(char* out) : FStart(out), FOut(out) {}
    void Space() {
        if (FOut == FStart || FOut[-1] != ' ')
            *FOut++ = ' ';
    }
    void Char(char c) { *FOut++ = c; }
    [[nodiscard]] size_t Size() const { return static_cast<size_t>(FOut - FStart); }

private:
    char* FStart;
    char* FOut;
};

bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool StartsCaseless(std::string_view text, size_t pos, std::string_view lowerWord) {
    if (text.size() - pos < lowerWord.size())
        return false;
    for (size_t i = 0; i < lowerWord.size(); ++i)
        if (LowerAscii(text[pos + i]) != lowerWord[i])
            return false;
    return true;
}

// The character one of the entities of steps 5 to 8 stands for, when text
// at pos (just after an ampersand) names one; `length` its name with ";".
char LaterEntity(std::string_view text, size_t pos, size_t& length) {
    static constexpr std::pair<std::string_view, char> kLater[] = {
        {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"#39;", '\''}};
    for (const auto& [name, c] : kLater)
        if (StartsCaseless(text, pos, name)) {
            length = name.size();
            return c;
        }
    return 0;
}

// Steps 3 to 9 on one stretch of text between tags. Only step 4 makes an
// ampersand, so an entity of steps 5 to 8 may start with one made of
// "&amp;", while "&nbsp;" and "&amp;" are only found as written.
void WriteText(std::string_view text, TPlainWriter& w) {
    size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (IsHtmlSpace(c)) {
            w.Space();
            ++pos;
            continue;
        }
        if (c != '&') {
            w.Char(c);
            ++pos;
            continue;
        }
        ++pos;
        size_t length = 0;
        if (StartsCaseless(text, pos, "nbsp;")) {
            w.Space();
            pos += 5;
        } else if (StartsCaseless(text, pos, "amp;")) {
            pos += 4;
            const char later = LaterEntity(text, pos, length);
            w.Char(later != 0 ? later : '&');
            pos += length;
        } else if (const char later = LaterEntity(text, pos, length); later != 0) {
            w.Char(later);
            pos += length;
        } else {
            w.Char('&');
        }
    }
}

} // namespace

std::string HtmlToPlainText(std::string_view html) {
    std::string withoutScripts;
    const std::string_view page =
        RemoveScriptAndStyle(html, withoutScripts) ? std::string_view(withoutScripts) : html;

    std::string out(page.size(), '\0');
    TPlainWriter w(out.data());
    size_t pos = 0;
    while (pos < page.size()) {
        const size_t lt = page.find('<', pos);
        const size_t gt = lt == std::string_view::npos ? lt : page.find('>', lt + 1);
        // With no ">" after a "<", no tag starts there or later.
        if (gt == std::string_view::npos) {
            WriteText(page.substr(pos), w);
            break;
        }
        if (gt == lt + 1) { // "<>" is no tag; its "<" is text
            WriteText(page.substr(pos, lt + 1 - pos), w);
            pos = lt + 1;
            continue;
        }
        WriteText(page.substr(pos, lt - pos), w);
        w.Space();
        pos = gt + 1;
    }
    out.resize(w.Size());
    // Step 10: every character up to code 32, control characters included.
    size_t b = 0;
    size_t e = out.size();
    while (b < e && static_cast<unsigned char>(out[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(out[e - 1]) <= 32)
        --e;
    out.erase(e);
    out.erase(0, b);
    return out;
}

} // namespace qm
