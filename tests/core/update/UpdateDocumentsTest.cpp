#include "update/UpdateDocuments.h"

#include "TempDir.h"
#include "i18n/Translation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace qm;

namespace {

const std::string kChanges = "Faster publishing\nNew table styles\n";

struct TVersionCase {
    const char* Document;
    bool Dialog;
    bool Forced;
    const char* Version;
};

} // namespace

TEST(UpdateDocuments, VersionLineDecidesDialogAndForce) {
    // The program is 2.0 (20).
    const TVersionCase cases[] = {
        {"21/10", true, false, "2.1"},
        {"21/21", true, true, "2.1"},
        {"21/20", true, false, "2.1"},
        {"105/3", true, false, "10.5"},
        {"20/20", false, false, ""},
        {"15/3", false, false, ""},
        {"0/0", false, false, ""},
        // The lowest usable version alone may force, even when "latest" lags.
        {"20/21", true, true, "2.0"},
        // Conversion failures: not two plain decimal integers around "/".
        {"2.1/20", false, false, ""},
        {"21-20", false, false, ""},
        {"", false, false, ""},
        {"\n21/10", false, false, ""},
        {"21/", false, false, ""},
        {"/21", false, false, ""},
        {"21/10/5", false, false, ""},
        {" 21/10", false, false, ""},
        {"21/10 ", false, false, ""},
        {"+21/10", false, false, ""},
        {"21/-10", false, false, ""},
        {"0x15/10", false, false, ""},
        {"99999999999/10", false, false, ""},
        {"<html>21/10</html>", false, false, ""},
        // Only the first line counts; line ends of either kind, a byte-order mark.
        {"21/10\nanything else", true, false, "2.1"},
        {"21/21\r\n22/22\r\n", true, true, "2.1"},
        {"\xEF\xBB\xBF"
         "21/10",
         true, false, "2.1"},
        // Not UTF-8 at all: not our document.
        {"21/10\n\xFF\xFE", false, false, ""},
    };
    for (const TVersionCase& c : cases) {
        SCOPED_TRACE(std::string("version document '") + c.Document + "'");
        const auto notice = EvaluateUpdateDocuments(c.Document, kChanges);
        EXPECT_EQ(notice.has_value(), c.Dialog);
        EXPECT_EQ(VersionDocumentOffersUpdate(c.Document), c.Dialog);
        if (notice) {
            EXPECT_EQ(notice->Forced, c.Forced);
            EXPECT_EQ(notice->Version, c.Version);
        }
    }
}

TEST(UpdateDocuments, NoticeTexts) {
    const auto optional = EvaluateUpdateDocuments("21/10", kChanges);
    ASSERT_TRUE(optional);
    EXPECT_EQ(optional->Text, "The new version 2.1 is available\n\n"
                              "What's new:\n"
                              "Faster publishing\n"
                              "New table styles\n");
    const auto forced = EvaluateUpdateDocuments("21/21", kChanges);
    ASSERT_TRUE(forced);
    EXPECT_EQ(forced->Text,
              "This version of the software is out of date. You must download the current "
              "version 2.1 to continue using the software.\n\n"
              "What's new:\n"
              "Faster publishing\n"
              "New table styles\n");
    // An empty changes document still shows the offer.
    const auto bare = EvaluateUpdateDocuments("21/10", "");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->Text, "The new version 2.1 is available\n\nWhat's new:\n");
}

TEST(UpdateDocuments, NoticeIsTranslated) {
    qm::test::TTempDir dir;
    const std::string table = dir.Path() + "/transl.qz";
    qm::test::WriteFile(table, "2\nEnglish\nDeutsch\nen\nde\n"
                               "The new version %s is available\nDie neue Version %s ist da\n"
                               "What's new:\nNeuerungen:\n");
    LoadTranslation(table, "de");
    const auto notice = EvaluateUpdateDocuments("21/10", "Eins\n");
    SetCurrentLanguage(0);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Text, "Die neue Version 2.1 ist da\n\nNeuerungen:\nEins\n");
}

TEST(UpdateDocuments, ChangesDropBlankLines) {
    struct TCase {
        const char* Document;
        std::vector<std::string> Items;
    };
    const TCase cases[] = {
        {"", {}},
        {"\n\n\n", {}},
        {"One\n\nTwo\n\n\nThree", {"One", "Two", "Three"}},
        {"\r\nOne\r\n\r\nTwo\r\n", {"One", "Two"}},
        {"One\n   \n\t\nTwo", {"One", "Two"}},
        // Text is kept as written, inner and leading blanks included.
        {"  indented item\nÜmlaut ✓", {"  indented item", "Ümlaut ✓"}},
        {"\xEF\xBB\xBFOne\n", {"One"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string("changes document '") + c.Document + "'");
        EXPECT_EQ(ChangesLines(c.Document), c.Items);
    }
    const auto notice = EvaluateUpdateDocuments("21/10", "\nOne\n\n\nTwo\n\n");
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->Text, "The new version 2.1 is available\n\nWhat's new:\nOne\nTwo\n");
}

TEST(UpdateDocuments, ChangesThatAreNotUtf8MeanNoUpdate) {
    EXPECT_FALSE(EvaluateUpdateDocuments("21/10", "One\n\xC3\x28\n"));
}

TEST(UpdateDocuments, DisplayVersion) {
    EXPECT_EQ(DisplayVersion(21), "2.1");
    EXPECT_EQ(DisplayVersion(105), "10.5");
    EXPECT_EQ(DisplayVersion(20), "2.0");
    EXPECT_EQ(DisplayVersion(7), "0.7");
}
