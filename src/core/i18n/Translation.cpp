#include "i18n/Translation.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"

#include <cstdlib>
#include <unordered_map>

namespace qm {

namespace {
TTranslationState& State() {
    static TTranslationState state;
    return state;
}
const std::string kEmpty;
} // namespace

TTranslationTable TTranslationTable::Parse(std::string_view text) {
    // Editors on Windows like to save the table with a byte-order mark.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (StartsWith(text, kBom))
        text.remove_prefix(kBom.size());
    std::vector<std::string> lines = SplitLines(text);
    // A final line break does not start another (empty) line; every other
    // empty line counts.
    TTranslationTable t;
    int n = 0;
    if (lines.empty() || !TryParseInt32(TrimCtl(lines[0]), n))
        throw EConvertError("Invalid translation table: the first line is not a number");
    if (n <= 0)
        return t;
    const size_t perLanguage = (lines.size() - 1) / static_cast<size_t>(n);
    // Without one complete group there is not even a name to show for a
    // language; stopping here also keeps a garbage count such as 2000000000
    // from allocating that many columns.
    if (perLanguage == 0)
        return t;
    t.FColumns.assign(static_cast<size_t>(n), {});
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        t.FColumns[i].reserve(perLanguage);
        for (size_t r = 0; r < perLanguage; ++r)
            t.FColumns[i].push_back(lines[1 + r * static_cast<size_t>(n) + i]);
    }
    return t;
}

int TTranslationTable::EntryCount() const {
    return FColumns.empty() ? 0 : static_cast<int>(FColumns[0].size());
}

const std::string& TTranslationTable::Text(int language, int entry) const {
    if (language < 0 || language >= LanguageCount() || entry < 0 || entry >= EntryCount())
        return kEmpty;
    return FColumns[static_cast<size_t>(language)][static_cast<size_t>(entry)];
}

int TTranslationTable::IndexOfCode(std::string_view code) const {
    for (int i = 0; i < LanguageCount(); ++i)
        if (SameTextAscii(Code(i), code))
            return i;
    return 0;
}

const std::string& TTranslationTable::Lookup(int language, const std::string& s) const {
    if (language <= 0 || language >= LanguageCount())
        return s;
    const auto& keys = FColumns[0];
    for (size_t r = 0; r < keys.size(); ++r) {
        if (keys[r] == s) {
            const std::string& t = FColumns[static_cast<size_t>(language)][r];
            return t.empty() ? s : t;
        }
    }
    return s;
}

std::string Translate(const std::string& s) {
    const auto& st = State();
    return st.Table.Lookup(st.CurrentIndex, s);
}

std::string LanguageCodeFromLocale(std::string_view locale) {
    static const std::unordered_map<std::string, std::string> kMap = {
        {"ar", "ar"}, {"zh", "cn"}, {"cs", "cs"}, {"de", "de"}, {"el", "el"},
        {"es", "es"}, {"fr", "fr"}, {"hu", "hu"}, {"it", "it"}, {"ja", "jp"},
        {"ko", "kr"}, {"nl", "nl"}, {"pl", "pl"}, {"pt", "pt"}, {"tr", "tr"}};
    std::string lang = AsciiLower(locale.substr(0, locale.find_first_of("_.@-")));
    auto it = kMap.find(lang);
    return it == kMap.end() ? "en" : it->second;
}

std::string SystemLanguageCode() {
    // The same order of precedence as the C library's message catalogues.
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0')
            return LanguageCodeFromLocale(v);
    }
    return "en";
}

void LoadTranslation(const std::string& fileName, const std::string& languageCode) {
    auto& st = State();
    st.CurrentCode = languageCode;
    st.CurrentIndex = 0;
    // A table from an earlier load must not outlive a file that has gone away
    // since: the Language menu is built from whatever table is held here.
    st.Table = TTranslationTable();
    try {
        if (!FileExists(fileName))
            return;
        st.Table = TTranslationTable::Parse(ReadTextFileUtf8(fileName));
        st.CurrentIndex = st.Table.IndexOfCode(languageCode);
    } catch (const std::exception&) {
        // An unusable table means an untranslated program, never a failed start.
        st.Table = TTranslationTable();
        st.CurrentIndex = 0;
    }
}

void SetCurrentLanguage(int index) {
    auto& st = State();
    st.CurrentIndex = (index > 0 && index < st.Table.LanguageCount()) ? index : 0;
    st.CurrentCode = st.Table.Code(st.CurrentIndex);
}

const TTranslationState& TranslationState() {
    return State();
}

} // namespace qm
