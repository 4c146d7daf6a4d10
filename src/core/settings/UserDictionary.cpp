#include "settings/UserDictionary.h"

#include "base/AtomicFile.h"
#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"

#include <algorithm>
#include <filesystem>

namespace qm {

namespace {
// The browser's checker ignores longer words in its own list; a longer
// "word" is almost surely a slip of the mouse.
constexpr size_t kMaxWordBytes = 99;

std::vector<std::string> ParseWords(std::string_view text) {
    std::vector<std::string> words;
    for (const std::string& line : SplitLines(text)) {
        std::string word = TrimCtl(line);
        if (TUserDictionary::IsWord(word))
            words.push_back(std::move(word));
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}
} // namespace

TUserDictionary::TUserDictionary(std::string fileName) : FFileName(std::move(fileName)) {}

bool TUserDictionary::IsWord(std::string_view word) {
    if (word.empty() || word.size() > kMaxWordBytes || !IsValidUtf8(word))
        return false;
    // Control characters and blanks; the wider Unicode spaces would need a
    // decoder and no dictionary word holds them.
    return std::none_of(word.begin(), word.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 32 || u == 127;
    });
}

void TUserDictionary::Load() {
    std::string text;
    FWords =
        ReadTextFileUtf8IfExists(FFileName, text) ? ParseWords(text) : std::vector<std::string>{};
}

bool TUserDictionary::Contains(std::string_view word) const {
    return std::binary_search(FWords.begin(), FWords.end(), word);
}

bool TUserDictionary::Add(std::string_view word) {
    const std::string w = TrimCtl(word);
    if (!IsWord(w))
        return false;
    Load();
    if (Contains(w))
        return false;
    FWords.insert(std::lower_bound(FWords.begin(), FWords.end(), w), w);
    std::string text;
    for (const std::string& each : FWords)
        text += each + "\n";
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(FFileName).parent_path(), ec);
    std::string error;
    if (!ReplaceFileAtomically(FFileName, text, error)) {
        Load();
        throw EFileError(error);
    }
    return true;
}

} // namespace qm
