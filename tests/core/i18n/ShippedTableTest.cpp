// The translation table that ships beside the program. Its keys must match the
// program's English texts to the byte, so a translator's slip (a lost trailing
// blank, a dropped "%s", a missing line that shifts every later group) would
// silently show wrong or untranslated texts; these checks catch that early.
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

using namespace qm;

namespace {

const std::string kShippedTable = QUILLMATE_SOURCE_DIR "/resources/translations/transl.qz";

size_t CountOf(std::string_view s, std::string_view what) {
    size_t n = 0;
    for (size_t p = s.find(what); p != std::string_view::npos; p = s.find(what, p + what.size()))
        ++n;
    return n;
}

std::string_view TrailingBlanks(std::string_view s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? s : s.substr(end + 1);
}

std::string_view WithoutTrailingBlanks(std::string_view s) {
    return s.substr(0, s.size() - TrailingBlanks(s).size());
}

} // namespace

TEST(ShippedTranslationTable, IsPlainUtf8WithCompleteGroups) {
    const std::string bytes = ReadFileBytes(kShippedTable);
    EXPECT_FALSE(StartsWith(bytes, "\xEF\xBB\xBF")) << "written without a byte-order mark";
    EXPECT_EQ(bytes.find('\r'), std::string::npos) << "LF line ends only";
    ASSERT_NO_THROW((void)ReadTextFileUtf8(kShippedTable)) << "valid UTF-8";

    const auto lines = SplitLines(bytes);
    const auto table = TTranslationTable::Parse(bytes);
    ASSERT_GT(table.LanguageCount(), 1);
    EXPECT_EQ((lines.size() - 1) % static_cast<size_t>(table.LanguageCount()), 0u)
        << "a group is incomplete: some text is missing or doubled";
}

TEST(ShippedTranslationTable, OffersTheShippedLanguages) {
    const auto table = TTranslationTable::Parse(ReadTextFileUtf8(kShippedTable));
    ASSERT_GT(table.EntryCount(), 2);
    // Column 0 holds the lookup keys, which are the program's own English texts.
    EXPECT_EQ(table.Code(0), "en");
    std::set<std::string> codes;
    for (int i = 0; i < table.LanguageCount(); ++i) {
        EXPECT_FALSE(table.DisplayName(i).empty()) << "language " << i;
        EXPECT_TRUE(codes.insert(table.Code(i)).second) << "code twice: " << table.Code(i);
    }
    for (const char* code : {"de", "fr", "es"})
        EXPECT_GT(table.IndexOfCode(code), 0) << code;
}

TEST(ShippedTranslationTable, TranslationsKeepTheirKeysShape) {
    const auto table = TTranslationTable::Parse(ReadTextFileUtf8(kShippedTable));
    std::set<std::string> keys;
    for (int r = 2; r < table.EntryCount(); ++r) {
        const std::string& key = table.Text(0, r);
        // A second equal key could never be reached: lookup stops at the first.
        EXPECT_TRUE(keys.insert(key).second) << "key twice: '" << key << "'";
        EXPECT_FALSE(key.empty()) << "entry " << r;
        for (int lang = 1; lang < table.LanguageCount(); ++lang) {
            const std::string& text = table.Text(lang, r);
            const std::string where = table.Code(lang) + ": '" + key + "' -> '" + text + "'";
            // An empty text would fall back to English without anyone noticing.
            EXPECT_FALSE(text.empty()) << where;
            // Callers glue a value after a trailing blank and fill "%s" in.
            EXPECT_EQ(TrailingBlanks(text), TrailingBlanks(key)) << where;
            EXPECT_EQ(CountOf(text, "%s"), CountOf(key, "%s")) << where;
            // "..." promises a dialog, ":" a value that follows, "?" a question.
            const std::string_view k = WithoutTrailingBlanks(key);
            const std::string_view t = WithoutTrailingBlanks(text);
            for (std::string_view ending : {"...", ":", "?"}) {
                if (EndsWith(k, ending)) {
                    EXPECT_TRUE(EndsWith(t, ending)) << where;
                }
            }
        }
    }
}
