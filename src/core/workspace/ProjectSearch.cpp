#include "workspace/ProjectSearch.h"

#include "base/PathUtils.h"
#include "html/HtmlUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"

#include <exception>
#include <filesystem>

namespace qm {

namespace {
constexpr size_t kSnippetBefore = 40;
constexpr size_t kSnippetAfter = 80;

std::uint64_t Hash(std::string_view s) {
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h ^ s.size();
}

// Code point -> its lower case, for the letters whose lower case has the
// same UTF-8 length (two bytes).
char32_t LowerTwoByte(char32_t c) {
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        // Latin Extended-A pairs upper/lower as even/odd, shifted by one in
        // the stretch from U+0139 to U+0148 and from U+0179 on.
        const bool shifted = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        if (shifted ? (c % 2 == 1) : (c % 2 == 0))
            return c + 1;
    }
    return c;
}

size_t StartOfChar(const std::string& s, size_t i) {
    while (i > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

std::string Snippet(const std::string& text, size_t at, size_t len, size_t& matchStart) {
    size_t from = at > kSnippetBefore ? StartOfChar(text, at - kSnippetBefore) : 0;
    size_t to = std::min(text.size(), at + len + kSnippetAfter);
    to = StartOfChar(text, to);
    if (to < at + len)
        to = at + len;
    std::string s = text.substr(from, to - from);
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    matchStart = at - from;
    if (from > 0) {
        s.insert(0, "\xE2\x80\xA6");
        matchStart += 3;
    }
    if (to < text.size())
        s += "\xE2\x80\xA6";
    return s;
}
} // namespace

std::string FoldCaseForSearch(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z')
                out[i] = static_cast<char>(b + 32);
            continue;
        }
        if ((b & 0xE0) == 0xC0 && i + 1 < out.size()) {
            const auto b2 = static_cast<unsigned char>(out[i + 1]);
            if ((b2 & 0xC0) == 0x80) {
                const char32_t c = static_cast<char32_t>(((b & 0x1F) << 6) | (b2 & 0x3F));
                const char32_t l = LowerTwoByte(c);
                if (l != c && l < 0x800) {
                    out[i] = static_cast<char>(0xC0 | (l >> 6));
                    out[i + 1] = static_cast<char>(0x80 | (l & 0x3F));
                }
                ++i;
            }
        }
    }
    return out;
}

const TProjectSearch::TCached&
TProjectSearch::TextOf(const TDocProject& project, const std::string& id,
                       const std::map<std::string, std::string>& unsaved) {
    TCached& entry = FCache[id];
    if (const auto it = unsaved.find(id); it != unsaved.end()) {
        const std::uint64_t h = Hash(it->second);
        if (entry.Stamp != -1 || entry.Unsaved != h || entry.Text.empty() != it->second.empty()) {
            entry = {};
            entry.Stamp = -1;
            entry.Unsaved = h;
            entry.Text = HtmlToPlainText(it->second);
            entry.Folded = FoldCaseForSearch(entry.Text);
            ++FLastReads;
        }
        return entry;
    }
    const std::string path = project.TopicHtmlPath(id);
    std::error_code ec;
    std::int64_t stamp = -2;
    std::uintmax_t size = 0;
    if (!path.empty()) {
        const auto time = std::filesystem::last_write_time(path, ec);
        if (!ec) {
            stamp = time.time_since_epoch().count();
            size = std::filesystem::file_size(path, ec);
        }
    }
    if (ec || stamp == -2) {
        entry = {}; // no page yet: a topic never shown has no text
        entry.Stamp = -2;
        return entry;
    }
    if (entry.Stamp != stamp || entry.Size != size) {
        entry = {};
        entry.Stamp = stamp;
        entry.Size = size;
        try {
            entry.Text = HtmlToPlainText(ReadTextFileUtf8(path));
        } catch (const std::exception&) {
            entry.Text.clear(); // an unreadable page has no text to find
        }
        entry.Folded = FoldCaseForSearch(entry.Text);
        ++FLastReads;
    }
    return entry;
}

std::vector<TProjectSearchHit>
TProjectSearch::Search(const TDocProject& project,
                       const std::map<std::string, std::string>& unsaved,
                       const std::string& query) {
    FLastReads = 0;
    std::vector<TProjectSearchHit> hits;
    const std::string needle = FoldCaseForSearch(query);
    if (needle.empty())
        return hits;
    std::vector<std::string> trail; // titles of the ancestors at each depth
    for (const TContentsEntry& e : WalkContents(project).Entries) {
        const TTopic& topic = *e.Topic;
        trail.resize(static_cast<size_t>(e.Depth));
        trail.push_back(topic.Title);
        const TCached& text = TextOf(project, topic.ID, unsaved);
        const std::string title = FoldCaseForSearch(topic.Title);
        int n = 0;
        size_t first = std::string::npos;
        for (size_t p = title.find(needle); p != std::string::npos;
             p = title.find(needle, p + needle.size()))
            ++n;
        for (size_t p = text.Folded.find(needle); p != std::string::npos;
             p = text.Folded.find(needle, p + needle.size())) {
            if (first == std::string::npos)
                first = p;
            ++n;
        }
        if (n == 0)
            continue;
        TProjectSearchHit hit;
        hit.TopicID = topic.ID;
        hit.Title = topic.Title;
        for (size_t i = 0; i < trail.size(); ++i)
            hit.ContentsPath += (i ? " > " : "") + trail[i];
        hit.Matches = n;
        hit.TextOffset = first;
        if (first != std::string::npos) {
            hit.Snippet = Snippet(text.Text, first, needle.size(), hit.SnippetMatchStart);
            hit.SnippetMatchLength = needle.size();
        } else {
            hit.Snippet = text.Text.substr(
                0, StartOfChar(text.Text, std::min<size_t>(text.Text.size(), 120)));
        }
        hits.push_back(std::move(hit));
    }
    // Topics no longer in the project leave the cache.
    for (auto it = FCache.begin(); it != FCache.end();)
        it = project.HasTopic(it->first) ? std::next(it) : FCache.erase(it);
    return hits;
}

} // namespace qm
