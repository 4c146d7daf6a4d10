#pragma once
// Regular expressions over UTF-8 text, run by PCRE2. A TRegex is compiled
// once (with the JIT where the platform has one) and can then be shared by
// every thread: match data, limits and the JIT stack live per thread and each
// match copies its offsets out before any callback runs, so a callback may
// search again, even with the same expression.
#include "base/Error.h"
#include "base/Utf8.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;

namespace qm {

// A pattern that does not compile, or a search that reached the work limit
// (so a pathological page fails its publish instead of hanging it).
class ERegexError : public EQuillmateError {
public:
    using EQuillmateError::EQuillmateError;
};

struct TRegexOptions {
    bool Caseless = false; // letters, back-references included, match either case
    bool DotAll = false;   // the dot matches line breaks too
};

class TRegex;

// One match: byte offsets into the subject it was found in, valid while that
// text lives. Group 0 is the whole match.
class TRegexMatch {
public:
    static constexpr size_t npos = std::string_view::npos;

    [[nodiscard]] bool Matched(size_t group) const;
    // npos for a group that took no part in the match.
    [[nodiscard]] size_t Start(size_t group = 0) const;
    [[nodiscard]] size_t End(size_t group = 0) const;
    // Empty for a group that took no part.
    [[nodiscard]] std::string_view Group(size_t group = 0) const;
    [[nodiscard]] std::string_view Group(std::string_view name) const;
    [[nodiscard]] size_t GroupCount() const { return FOffsets.size() / 2; }

private:
    friend class TRegex;
    const TRegex* FRegex = nullptr;
    std::string_view FSubject;
    std::vector<size_t> FOffsets; // start/end pairs
};

// Bounds within which every match of a search is known to lie: no match
// starts after LastStart and none reads past End. A caller that can prove
// this spares the engine attempts that can only fail, and for lazy patterns
// such as "<x>.*?</x>" each failed attempt scans to the end of the text.
struct TRegexWindow {
    size_t End = std::string_view::npos;
    size_t LastStart = std::string_view::npos;
};

class TRegex {
public:
    // Raises ERegexError with PCRE2's message when the pattern is invalid.
    explicit TRegex(std::string_view pattern, TRegexOptions options = {});
    ~TRegex();
    TRegex(const TRegex&) = delete;
    TRegex& operator=(const TRegex&) = delete;

    // Number of the named group, or npos.
    [[nodiscard]] size_t GroupNumber(std::string_view name) const;

    // The first match starting at or after `from`.
    [[nodiscard]] std::optional<TRegexMatch> Search(std::string_view subject,
                                                    size_t from = 0) const;
    // Every non-overlapping match from left to right. After an empty match
    // the search moves on by one character.
    void ForEachMatch(std::string_view subject,
                      const std::function<void(const TRegexMatch&)>& visit,
                      TRegexWindow window = {}) const;
    void ForEachMatch(TValidUtf8 subject, const std::function<void(const TRegexMatch&)>& visit,
                      TRegexWindow window = {}) const;
    // Every match replaced by what `replace` returns for it; the text between
    // matches is copied unchanged and replacements are not searched again.
    [[nodiscard]] std::string Replace(std::string_view subject,
                                      const std::function<std::string(const TRegexMatch&)>& replace,
                                      TRegexWindow window = {}) const;

private:
    [[nodiscard]] bool Match(std::string_view subject, size_t from, unsigned flags,
                             size_t lastStart, TRegexMatch& match) const;

    std::string FPattern;
    pcre2_real_code_8* FCode = nullptr;
    size_t FCaptureCount = 0;
};

// The window for a pattern whose every match ends with the character `last`:
// nothing after its last occurrence. PCRE2 makes the same cut by itself only
// on shorter texts. Nothing when the character does not occur.
[[nodiscard]] std::optional<TRegexWindow> WindowBeforeLastChar(std::string_view subject, char last);

// The window for a pattern made of an opening part, anything, and a closing
// part, where the opening part ends at the first `openerEnd` character after
// its start and a match of `closer` holds that character only as its last.
// Every match then ends with a match of `closer` no later than the last one,
// and starts before the last `openerEnd` that precedes it. Nothing when
// `closer` does not occur, so the pattern cannot match at all.
[[nodiscard]] std::optional<TRegexWindow>
WindowBeforeLastCloser(const TRegex& closer, std::string_view subject, char openerEnd);

} // namespace qm
