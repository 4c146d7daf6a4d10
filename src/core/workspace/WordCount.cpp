#include "workspace/WordCount.h"

#include "base/PathUtils.h"
#include "html/HtmlUtils.h"
#include "model/DocModel.h"

#include <exception>

#include <sys/stat.h>

namespace qm {

namespace {
bool IsWordByte(unsigned char c) {
    return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsSpaceLike(std::string_view s, size_t i) {
    // U+00A0 no-break space and the punctuation of U+2000-U+206F (dashes,
    // quotes, ellipsis) separate words although they are not ASCII.
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xA0)
        return true;
    return c == 0xE2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80;
}
} // namespace

size_t CountWords(std::string_view text) {
    size_t words = 0;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsSpaceLike(text, i)) {
            inWord = false;
            i += c == 0xC2 ? 1 : 2;
            continue;
        }
        if (IsWordByte(c)) {
            if (!inWord)
                ++words;
            inWord = true;
        } else if ((c == '\'' || c == '-') && inWord && i + 1 < text.size() &&
                   IsWordByte(static_cast<unsigned char>(text[i + 1]))) {
            // "don't", "e-mail": still the same word
        } else {
            inWord = false;
        }
    }
    return words;
}

size_t CountHtmlWords(std::string_view html) {
    return CountWords(HtmlToPlainText(html));
}

std::vector<TWordCountSource>
ProjectWordSources(const TDocProject& project, const std::map<std::string, std::string>& unsaved) {
    std::vector<TWordCountSource> sources;
    sources.reserve(project.Topics.Count());
    for (const TTopic& topic : project.Topics) {
        TWordCountSource s;
        if (const auto it = unsaved.find(topic.ID); it != unsaved.end()) {
            s.Html = it->second;
            s.Unsaved = true;
        } else {
            s.PagePath = project.TopicHtmlPath(topic.ID);
        }
        sources.push_back(std::move(s));
    }
    return sources;
}

size_t TPageWordCache::Count(const std::string& pagePath) {
    struct stat st {};
    if (::stat(pagePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        FEntries.erase(pagePath);
        return 0;
    }
    const TEntry now{static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(st.st_ino), 0};
    if (const auto it = FEntries.find(pagePath); it != FEntries.end()) {
        const TEntry& was = it->second;
        if (was.Size == now.Size && was.TimeNs == now.TimeNs && was.Inode == now.Inode)
            return was.Words;
    }
    TEntry entry = now;
    try {
        entry.Words = CountHtmlWords(ReadTextFileUtf8(pagePath));
    } catch (const std::exception&) {
        FEntries.erase(pagePath); // unreadable now, perhaps not next time
        return 0;
    }
    FEntries[pagePath] = entry;
    return entry.Words;
}

size_t CountProjectWords(const std::vector<TWordCountSource>& sources, TPageWordCache* cache) {
    size_t total = 0;
    for (const TWordCountSource& s : sources) {
        if (s.Unsaved) {
            total += CountHtmlWords(s.Html);
            continue;
        }
        if (s.PagePath.empty())
            continue;
        if (cache != nullptr) {
            total += cache->Count(s.PagePath);
            continue;
        }
        if (!FileExists(s.PagePath))
            continue;
        try {
            total += CountHtmlWords(ReadTextFileUtf8(s.PagePath));
        } catch (const std::exception&) {
            // an unreadable page has no words to count
        }
    }
    return total;
}

} // namespace qm
