#include "base/Regex.h"

#include "base/Utf8.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace qm {

namespace {

// Work limits for one match attempt. Ten million steps is far beyond what a
// topic page needs (a lazy body over a whole 1 MB page takes about one step
// per character) and still stops a runaway attempt within a second or so.
constexpr uint32_t kMatchLimit = 10'000'000;
// Nesting of backtracking points (interpreter only); the same bound.
constexpr uint32_t kDepthLimit = 10'000'000;
// Memory for the interpreter's backtracking frames, in KiB.
constexpr uint32_t kHeapLimitKiB = 512 * 1024;
// The JIT's own stack, reserved per thread and used as needed; room for
// deeply nested backtracking.
constexpr PCRE2_SIZE kJitStackMax = 1024 * 1024;

// Everything a match needs that is not the compiled pattern. One per thread,
// because a match context and match data must not be shared between threads
// that match at the same time.
class TThreadMatchState {
public:
    TThreadMatchState() {
        FContext = pcre2_match_context_create(nullptr);
        if (FContext == nullptr)
            throw ERegexError("Out of memory for pattern matching");
        // Without its own stack the JIT uses 32 KiB of the machine stack.
        FJitStack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
        pcre2_set_match_limit(FContext, kMatchLimit);
        pcre2_set_depth_limit(FContext, kDepthLimit);
        pcre2_set_heap_limit(FContext, kHeapLimitKiB);
        if (FJitStack != nullptr)
            pcre2_jit_stack_assign(FContext, nullptr, FJitStack);
    }
    ~TThreadMatchState() {
        if (FData != nullptr)
            pcre2_match_data_free(FData);
        if (FJitStack != nullptr)
            pcre2_jit_stack_free(FJitStack);
        pcre2_match_context_free(FContext);
    }
    TThreadMatchState(const TThreadMatchState&) = delete;
    TThreadMatchState& operator=(const TThreadMatchState&) = delete;

    pcre2_match_context* Context(size_t lastStart) {
        pcre2_set_offset_limit(FContext, lastStart == std::string_view::npos
                                             ? PCRE2_UNSET
                                             : static_cast<PCRE2_SIZE>(lastStart));
        return FContext;
    }
    pcre2_match_data* Data(size_t pairs) {
        if (FData == nullptr || FPairs < pairs) {
            if (FData != nullptr)
                pcre2_match_data_free(FData);
            FData = pcre2_match_data_create(static_cast<uint32_t>(pairs), nullptr);
            if (FData == nullptr)
                throw ERegexError("Out of memory for pattern matching");
            FPairs = pairs;
        }
        return FData;
    }

private:
    pcre2_match_context* FContext = nullptr;
    pcre2_jit_stack* FJitStack = nullptr;
    pcre2_match_data* FData = nullptr;
    size_t FPairs = 0;
};

TThreadMatchState& ThreadState() {
    thread_local TThreadMatchState state;
    return state;
}

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
        return "error " + std::to_string(code);
    return reinterpret_cast<const char*>(buffer);
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray
// continuation byte, which valid text never puts at a match boundary).
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// PCRE2 checks the UTF-8 of every subject it is given, one byte at a time;
// expanding one page searches the same text dozens of times. IsValidUtf8
// applies the same rules, eight ASCII bytes at a time.
void RequireUtf8(std::string_view s) {
    if (!IsValidUtf8(s))
        throw EEncodingError("Text is not valid UTF-8");
}

} // namespace

bool TRegexMatch::Matched(size_t group) const {
    return group < GroupCount() && FOffsets[2 * group] != npos;
}

size_t TRegexMatch::Start(size_t group) const {
    return group < GroupCount() ? FOffsets[2 * group] : npos;
}

size_t TRegexMatch::End(size_t group) const {
    return group < GroupCount() ? FOffsets[2 * group + 1] : npos;
}

std::string_view TRegexMatch::Group(size_t group) const {
    if (!Matched(group))
        return {};
    return FSubject.substr(FOffsets[2 * group], FOffsets[2 * group + 1] - FOffsets[2 * group]);
}

std::string_view TRegexMatch::Group(std::string_view name) const {
    return FRegex == nullptr ? std::string_view() : Group(FRegex->GroupNumber(name));
}

TRegex::TRegex(std::string_view pattern, TRegexOptions options) : FPattern(pattern) {
    // The offset limit costs nothing unless a search sets one (TRegexWindow).
    uint32_t flags = PCRE2_UTF | PCRE2_USE_OFFSET_LIMIT;
    if (options.Caseless)
        flags |= PCRE2_CASELESS;
    if (options.DotAll)
        flags |= PCRE2_DOTALL;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    FCode = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(FPattern.data()), FPattern.size(), flags,
                          &error, &errorOffset, nullptr);
    if (FCode == nullptr)
        throw ERegexError("Invalid regular expression at offset " + std::to_string(errorOffset) +
                          ": " + ErrorText(error) + ": " + FPattern);
    // Without a JIT (an unsupported CPU, or memory that may not be made
    // executable) the interpreter gives the same results, only slower.
    (void)pcre2_jit_compile(FCode, PCRE2_JIT_COMPLETE);
    uint32_t captures = 0;
    pcre2_pattern_info(FCode, PCRE2_INFO_CAPTURECOUNT, &captures);
    FCaptureCount = captures;
}

TRegex::~TRegex() {
    pcre2_code_free(FCode);
}

size_t TRegex::GroupNumber(std::string_view name) const {
    const std::string key(name);
    const int n =
        pcre2_substring_number_from_name(FCode, reinterpret_cast<PCRE2_SPTR>(key.c_str()));
    return n > 0 ? static_cast<size_t>(n) : std::string_view::npos;
}

bool TRegex::Match(std::string_view subject, size_t from, unsigned flags, size_t lastStart,
                   TRegexMatch& match) const {
    TThreadMatchState& state = ThreadState();
    const size_t pairs = FCaptureCount + 1;
    pcre2_match_data* data = state.Data(pairs);
    // The callers have checked the subject (RequireUtf8).
    const int rc = pcre2_match(FCode, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                               from, flags | PCRE2_NO_UTF_CHECK, data, state.Context(lastStart));
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0) {
        if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
            rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT)
            throw ERegexError("The text is too complex to search: " + ErrorText(rc));
        throw ERegexError("Pattern matching failed: " + ErrorText(rc));
    }
    // Copied out now: the next search on this thread, perhaps one that a
    // callback starts, reuses the match data.
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    match.FRegex = this;
    match.FSubject = subject;
    match.FOffsets.resize(2 * pairs);
    for (size_t i = 0; i < 2 * pairs; ++i)
        match.FOffsets[i] = ovector[i] == PCRE2_UNSET ? TRegexMatch::npos : ovector[i];
    return true;
}

std::optional<TRegexMatch> TRegex::Search(std::string_view subject, size_t from) const {
    if (from > subject.size())
        return std::nullopt;
    RequireUtf8(subject);
    TRegexMatch match;
    if (!Match(subject, from, 0, TRegexMatch::npos, match))
        return std::nullopt;
    return match;
}

void TRegex::ForEachMatch(std::string_view subject,
                          const std::function<void(const TRegexMatch&)>& visit,
                          TRegexWindow window) const {
    // Once for the whole loop: checking at every match would make it quadratic.
    RequireUtf8(window.End < subject.size() ? subject.substr(0, window.End) : subject);
    ForEachMatch(TValidUtf8{subject}, visit, window);
}

void TRegex::ForEachMatch(TValidUtf8 text, const std::function<void(const TRegexMatch&)>& visit,
                          TRegexWindow window) const {
    std::string_view subject = text.Text;
    if (window.End < subject.size())
        subject = subject.substr(0, window.End);
    TRegexMatch match;
    size_t pos = 0;
    unsigned retryFlags = 0;
    while (pos <= subject.size()) {
        if (!Match(subject, pos, retryFlags, window.LastStart, match)) {
            if (retryFlags == 0)
                break;
            // No non-empty match at the place of the empty one: step over one
            // character and search on as usual.
            retryFlags = 0;
            if (pos >= subject.size())
                break;
            pos += Utf8SequenceLength(static_cast<unsigned char>(subject[pos]));
            continue;
        }
        const size_t start = match.Start();
        const size_t end = match.End();
        visit(match);
        pos = end;
        // After an empty match, first look for a non-empty one at the same place.
        retryFlags = start == end ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0u;
    }
}

std::string TRegex::Replace(std::string_view subject,
                            const std::function<std::string(const TRegexMatch&)>& replace,
                            TRegexWindow window) const {
    std::string out;
    size_t pos = 0;
    bool any = false;
    ForEachMatch(
        subject,
        [&](const TRegexMatch& m) {
            if (!any)
                out.reserve(subject.size());
            any = true;
            out.append(subject, pos, m.Start() - pos);
            out += replace(m);
            pos = m.End();
        },
        window);
    if (!any)
        return std::string(subject);
    out.append(subject, pos, std::string_view::npos);
    return out;
}

std::optional<TRegexWindow> WindowBeforeLastChar(std::string_view subject, char last) {
    const size_t at = subject.rfind(last);
    if (at == std::string_view::npos)
        return std::nullopt;
    return TRegexWindow{.End = at + 1};
}

std::optional<TRegexWindow> WindowBeforeLastCloser(const TRegex& closer, std::string_view subject,
                                                   char openerEnd) {
    size_t lastEnd = 0;
    closer.ForEachMatch(subject, [&](const TRegexMatch& m) { lastEnd = m.End(); });
    if (lastEnd < 2)
        return std::nullopt;
    // The closer's last character is openerEnd; the opening part must end
    // on an earlier one.
    const size_t openerClose = subject.rfind(openerEnd, lastEnd - 2);
    if (openerClose == std::string_view::npos)
        return std::nullopt;
    return TRegexWindow{lastEnd, openerClose};
}

} // namespace qm
