#pragma once
// The UI translation table ("transl.qz"): one column of texts per language,
// English first as the lookup key. Filled once at start-up, read afterwards.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class TTranslationTable {
public:
    // Parses the file text. Raises EConvertError when line 0 is not a number.
    [[nodiscard]] static TTranslationTable Parse(std::string_view text);

    [[nodiscard]] int LanguageCount() const { return static_cast<int>(FColumns.size()); }
    [[nodiscard]] int EntryCount() const;
    [[nodiscard]] const std::string& Text(int language, int entry) const;
    [[nodiscard]] const std::string& DisplayName(int language) const { return Text(language, 0); }
    [[nodiscard]] const std::string& Code(int language) const { return Text(language, 1); }
    // Column whose code equals code (ASCII case ignored); 0 when none does.
    [[nodiscard]] int IndexOfCode(std::string_view code) const;
    // The text in the given language, or S itself when the language is 0,
    // S has no entry or the entry is empty.
    [[nodiscard]] const std::string& Lookup(int language, const std::string& s) const;

private:
    std::vector<std::vector<std::string>> FColumns;
};

// The process-wide translation state used by Translate.
struct TTranslationState {
    TTranslationTable Table;
    int CurrentIndex = 0;
    std::string CurrentCode;
};

// S in the current language (unchanged while no table is loaded).
[[nodiscard]] std::string Translate(const std::string& s);

// Two-letter code of the system's UI language, mapped as the Windows program
// maps its primary language ids ("cn" for Chinese, "jp", "kr"); "en" otherwise.
[[nodiscard]] std::string SystemLanguageCode();
// The mapping itself, from a POSIX locale name such as "de_DE.UTF-8".
[[nodiscard]] std::string LanguageCodeFromLocale(std::string_view locale);

// Reads the table from fileName and selects languageCode (the caller passes the
// stored choice, or SystemLanguageCode()). Any error leaves the program
// untranslated, silently, as a missing file does.
void LoadTranslation(const std::string& fileName, const std::string& languageCode);
// Switches the current language (0 = base language).
void SetCurrentLanguage(int index);
[[nodiscard]] const TTranslationState& TranslationState();

} // namespace qm
