#include "i18n/Translation.h"
#include "base/Error.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

// English and German, with the texts the lookup tests need.
const std::string kGermanTable = "2\n"
                                 "English\nDeutsch\n"
                                 "en\nde\n"
                                 "Save\nSpeichern\n"
                                 "Save \nSpeichern \n"
                                 "Open Project...\nProjekt öffnen...\n"
                                 "Exit\n\n"
                                 "Save\nSichern\n";

// Sets an environment variable for one test and puts the old value back.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        Set(value);
    }
    ~TScopedEnv() { Set(FOld ? FOld->c_str() : nullptr); }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    void Set(const char* value) {
        if (value != nullptr)
            setenv(FName.c_str(), value, 1);
        else
            unsetenv(FName.c_str());
    }
    std::string FName;
    std::optional<std::string> FOld;
};

} // namespace

TEST(TranslationTable, GroupsOfNLinesPerEntry) {
    // N = 3 and eleven lines: three complete groups (lines 1-9); line 10 starts
    // a fourth group that never completes and is dropped.
    const auto t = TTranslationTable::Parse("3\n"
                                            "English\nDeutsch\nFrançais\n"
                                            "en\nde\nfr\n"
                                            "Yes\nJa\nOui\n"
                                            "Orphan");
    ASSERT_EQ(t.LanguageCount(), 3);
    ASSERT_EQ(t.EntryCount(), 3);
    EXPECT_EQ(t.DisplayName(2), "Français");
    EXPECT_EQ(t.Code(1), "de");
    EXPECT_EQ(t.Text(0, 2), "Yes");
    EXPECT_EQ(t.Text(1, 2), "Ja");
    EXPECT_EQ(t.Text(2, 2), "Oui");
    EXPECT_EQ(t.Lookup(1, "Orphan"), "Orphan");
    EXPECT_EQ(t.Text(0, 3), "");
}

TEST(TranslationTable, LineEndsEmptyLinesAndByteOrderMark) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"LF", "2\nEnglish\nDeutsch\nen\nde\nOK\n\nCancel\nAbbrechen\n"},
        {"CR LF", "2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nOK\r\n\r\nCancel\r\nAbbrechen\r\n"},
        {"no final line end", "2\nEnglish\nDeutsch\nen\nde\nOK\n\nCancel\nAbbrechen"},
        {"byte-order mark", "\xEF\xBB\xBF"
                            "2\nEnglish\nDeutsch\nen\nde\nOK\n\nCancel\nAbbrechen\n"},
    };
    for (const auto& c : cases) {
        const auto t = TTranslationTable::Parse(c.text);
        ASSERT_EQ(t.LanguageCount(), 2) << c.what;
        ASSERT_EQ(t.EntryCount(), 4) << c.what;
        EXPECT_EQ(t.DisplayName(0), "English") << c.what;
        // The empty line is German for "OK": it keeps the groups aligned.
        EXPECT_EQ(t.Text(1, 2), "") << c.what;
        EXPECT_EQ(t.Text(0, 3), "Cancel") << c.what;
        EXPECT_EQ(t.Text(1, 3), "Abbrechen") << c.what;
    }
}

TEST(TranslationTable, FirstLineMustBeACount) {
    for (const char* text : {"", "two\nEnglish\nen\n", "\n1\nEnglish\nen\n", "2.0\nA\nB\nC\nD\n"})
        EXPECT_THROW((void)TTranslationTable::Parse(text), EConvertError) << text;
}

TEST(TranslationTable, NoLanguagesWithoutOneCompleteGroup) {
    for (const char* text : {"0\nEnglish\nen\n", "-2\nEnglish\nDeutsch\n", "3\nEnglish\nDeutsch\n",
                             "2000000000\nEnglish\nen\n"}) {
        const auto t = TTranslationTable::Parse(text);
        EXPECT_EQ(t.LanguageCount(), 0) << text;
        EXPECT_EQ(t.Lookup(1, "English"), "English") << text;
    }
}

TEST(TranslationTable, LookupIsExactAndFallsBackToEnglish) {
    const auto t = TTranslationTable::Parse(kGermanTable);
    struct Case {
        int language;
        const char* s;
        const char* expected;
    };
    const Case cases[] = {
        {1, "Save", "Speichern"},   // the first of two equal keys wins
        {1, "Save ", "Speichern "}, // a trailing blank is part of the key
        {1, "save", "save"},        // case matters
        {1, "Open Project...", "Projekt öffnen..."},
        {1, "Open Project", "Open Project"},
        {1, "Exit", "Exit"}, // empty translation
        {1, "", ""},
        {0, "Save", "Save"}, // the base language is never looked up
        {-1, "Save", "Save"},
        {2, "Save", "Save"}, // no such column
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.Lookup(c.language, c.s), c.expected) << c.language << " '" << c.s << "'";
}

TEST(TranslationTable, CodesAreMatchedIgnoringCase) {
    const auto t = TTranslationTable::Parse(kGermanTable);
    EXPECT_EQ(t.IndexOfCode("de"), 1);
    EXPECT_EQ(t.IndexOfCode("DE"), 1);
    EXPECT_EQ(t.IndexOfCode("En"), 0);
    EXPECT_EQ(t.IndexOfCode("fr"), 0);
    EXPECT_EQ(t.IndexOfCode(""), 0);
}

TEST(LoadTranslation, SelectsTheCallersLanguage) {
    TTempDir dir;
    WriteFile(dir / "transl.qz", kGermanTable);

    LoadTranslation(dir / "transl.qz", "DE");
    EXPECT_EQ(TranslationState().CurrentIndex, 1);
    EXPECT_EQ(TranslationState().CurrentCode, "DE");
    EXPECT_EQ(Translate("Save"), "Speichern");
    EXPECT_EQ(Translate("Not in the table"), "Not in the table");

    // A code the table does not know leaves the program in English but keeps
    // the table for the Language menu.
    LoadTranslation(dir / "transl.qz", "it");
    EXPECT_EQ(TranslationState().CurrentIndex, 0);
    EXPECT_EQ(TranslationState().Table.LanguageCount(), 2);
    EXPECT_EQ(Translate("Save"), "Save");
}

TEST(LoadTranslation, SwitchingLanguageTakesEffectAtOnce) {
    TTempDir dir;
    WriteFile(dir / "transl.qz", kGermanTable);
    LoadTranslation(dir / "transl.qz", "en");
    EXPECT_EQ(Translate("Save"), "Save");

    SetCurrentLanguage(1);
    EXPECT_EQ(TranslationState().CurrentCode, "de");
    EXPECT_EQ(Translate("Save"), "Speichern");

    SetCurrentLanguage(5);
    EXPECT_EQ(TranslationState().CurrentIndex, 0);
    EXPECT_EQ(TranslationState().CurrentCode, "en");
    EXPECT_EQ(Translate("Save"), "Save");
}

TEST(LoadTranslation, UnusableFileLeavesTheProgramUntranslated) {
    struct Case {
        const char* what;
        std::optional<std::string> bytes; // nullopt: no file at all
    };
    const Case cases[] = {
        {"missing file", std::nullopt},
        {"first line not a number", "de\nEnglish\nDeutsch\nen\nde\nSave\nSpeichern\n"},
        {"not UTF-8", "2\nEnglish\nDeutsch\nen\nde\nSave\nSpeicher\xFF\n"},
    };
    for (const auto& c : cases) {
        TTempDir dir;
        // A good table first, so that a stale one would show through.
        WriteFile(dir / "good.qz", kGermanTable);
        LoadTranslation(dir / "good.qz", "de");
        ASSERT_EQ(Translate("Save"), "Speichern");

        if (c.bytes)
            WriteFile(dir / "transl.qz", *c.bytes);
        EXPECT_NO_THROW(LoadTranslation(dir / "transl.qz", "de")) << c.what;
        EXPECT_EQ(TranslationState().CurrentIndex, 0) << c.what;
        EXPECT_EQ(TranslationState().Table.LanguageCount(), 0) << c.what;
        EXPECT_EQ(Translate("Save"), "Save") << c.what;
    }
}

TEST(LanguageCode, FromPosixLocale) {
    struct Case {
        const char* locale;
        const char* code;
    };
    const Case cases[] = {
        {"ar_EG.UTF-8", "ar"}, {"zh_CN.UTF-8", "cn"}, {"zh_TW", "cn"}, {"cs_CZ", "cs"},
        {"de_DE.UTF-8", "de"}, {"de_AT@euro", "de"},  {"el_GR", "el"}, {"es_MX", "es"},
        {"fr", "fr"},          {"hu_HU", "hu"},       {"it_IT", "it"}, {"ja_JP.eucJP", "jp"},
        {"ko_KR.UTF-8", "kr"}, {"nl_BE", "nl"},       {"pl_PL", "pl"}, {"pt_BR.UTF-8", "pt"},
        {"tr_TR", "tr"},       {"DE_de", "de"},       {"en_GB", "en"}, {"sv_SE.UTF-8", "en"},
        {"C", "en"},           {"C.UTF-8", "en"},     {"POSIX", "en"}, {"", "en"},
        {"zh-Hans", "cn"},     {"sr_RS@latin", "en"}, {"nb_NO", "en"}, {"ru_RU", "en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageCodeFromLocale(c.locale), c.code) << c.locale;
}

TEST(LanguageCode, SystemLanguageFollowsLocalePrecedence) {
    {
        TScopedEnv all("LC_ALL", "ja_JP.UTF-8");
        TScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
        TScopedEnv lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(SystemLanguageCode(), "jp");
    }
    {
        // An empty variable counts as unset.
        TScopedEnv all("LC_ALL", "");
        TScopedEnv messages("LC_MESSAGES", "de_DE.UTF-8");
        TScopedEnv lang("LANG", "fr_FR.UTF-8");
        EXPECT_EQ(SystemLanguageCode(), "de");
    }
    {
        TScopedEnv all("LC_ALL", nullptr);
        TScopedEnv messages("LC_MESSAGES", nullptr);
        TScopedEnv lang("LANG", "ko_KR.UTF-8");
        EXPECT_EQ(SystemLanguageCode(), "kr");
    }
    {
        TScopedEnv all("LC_ALL", nullptr);
        TScopedEnv messages("LC_MESSAGES", nullptr);
        TScopedEnv lang("LANG", nullptr);
        EXPECT_EQ(SystemLanguageCode(), "en");
    }
}
