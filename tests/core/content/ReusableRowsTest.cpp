#include "content/ReusableRows.h"

#include "TempDir.h"
#include "base/Error.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(ReusableRows, GridsKeepElevenEmptyRowsAndFifteenEntryRows) {
    const struct {
        std::size_t entries;
        int rows;
    } cases[] = {{0, 16}, {1, 16}, {4, 16}, {5, 17}, {20, 32}};
    for (const auto& c : cases)
        EXPECT_EQ(ReusableGridRowCount(c.entries), c.rows) << c.entries;
}

TEST(ReusableRows, EnabledWords) {
    for (const char* yes : {"true", "yes", " Yes ", "1", "ON", "\tTrue\t"})
        EXPECT_TRUE(IsEnabledWord(yes)) << yes;
    for (const char* no : {"false", "no", "0", "off", "", "enabled", "y", "2", "yes please"})
        EXPECT_FALSE(IsEnabledWord(no)) << no;
}

TEST(ReusableRows, BlankNamesAreDroppedAndValuesKeptAsTyped) {
    TContentRows rows;
    rows.Variables = {{"", "orphan value"}, {" Product ", " Brightnote "}, {"  ", "x"}, {"V2", ""}};
    rows.Snippets = {{"Note", "<p>a</p>\n"}, {"", "<p>lost</p>"}};
    rows.Conditions = {{"Pro", " Yes "}, {"Beta", "enabled"}, {"", "true"}};
    const TReusableProjectContent c = ContentFromRows(rows);
    ASSERT_EQ(c.FVariables.size(), 2u);
    EXPECT_EQ(c.FVariables[0].Name, "Product");
    EXPECT_EQ(c.FVariables[0].Value, " Brightnote ");
    EXPECT_EQ(c.FVariables[1].Name, "V2");
    ASSERT_EQ(c.FSnippets.size(), 1u);
    EXPECT_EQ(c.FSnippets[0].Html, "<p>a</p>\n");
    ASSERT_EQ(c.FConditions.size(), 2u);
    EXPECT_TRUE(c.FConditions[0].Enabled);
    EXPECT_FALSE(c.FConditions[1].Enabled);
}

TEST(ReusableRows, RowsRoundTripTheStore) {
    TReusableProjectContent c;
    c.FVariables = {{"A", "1"}, {"A", "duplicate kept"}};
    c.FSnippets = {{"S", "<b>x</b>"}};
    c.FConditions = {{"On", true}, {"Off", false}};
    const TContentRows rows = RowsFromContent(c);
    ASSERT_EQ(rows.Conditions.size(), 2u);
    EXPECT_EQ(rows.Conditions[0].Value, "true");
    EXPECT_EQ(rows.Conditions[1].Value, "false");
    const TReusableProjectContent back = ContentFromRows(rows);
    ASSERT_EQ(back.FVariables.size(), 2u);
    EXPECT_EQ(back.FVariables[1].Value, "duplicate kept");
    EXPECT_EQ(back.FSnippets[0].Html, "<b>x</b>");
    EXPECT_TRUE(back.FConditions[0].Enabled);
    EXPECT_FALSE(back.FConditions[1].Enabled);
}

TEST(ReusableTokens, NamesAreEscapedForTheEditor) {
    EXPECT_EQ(VariableToken("A&B"), "{var:A&amp;B}");
    EXPECT_EQ(SnippetToken("Note"), "{snip:Note}");
    EXPECT_EQ(BeginConditionToken("x<y\""), "{begincond:x&lt;y&quot;}");
    EXPECT_EQ(BeginConditionToken("Größe"), "{begincond:Größe}");
    EXPECT_EQ(EndConditionToken(), "{endcond}");
}

TEST(ReusableEditing, ADamagedFileIsNamedAndLeftAlone) {
    TTempDir dir;
    TDocProject project;
    project.RootPath = dir.Path() + "/";
    const std::string path = ReusableContentPath(project);
    const std::string damaged = R"({"variables":[{"name":"Product","value":"Bright)";
    WriteFile(path, damaged);

    EXPECT_TRUE(ReusableContentFileDamaged(project));
    TReusableProjectContent store;
    try {
        store.LoadFromProjectForEditing(project);
        FAIL() << "a damaged file must not load for editing";
    } catch (const EJsonError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(path), damaged);
    // Publishing reads it as before (no content, no error) and says so.
    EXPECT_NO_THROW(store.LoadFromProject(project));
    EXPECT_TRUE(store.FVariables.empty());
    EXPECT_NE(DamagedReusableContentWarning(project).find(path), std::string::npos);
}

TEST(ReusableEditing, MissingAndValidFilesLoadForEditing) {
    TTempDir dir;
    TDocProject project;
    project.RootPath = dir.Path() + "/";
    TReusableProjectContent store;
    EXPECT_FALSE(ReusableContentFileDamaged(project));
    EXPECT_NO_THROW(store.LoadFromProjectForEditing(project));
    EXPECT_TRUE(store.FVariables.empty());

    WriteFile(ReusableContentPath(project), R"({"variables":[{"name":"P","value":"v"}]})");
    EXPECT_FALSE(ReusableContentFileDamaged(project));
    EXPECT_EQ(DamagedReusableContentWarning(project), "");
    store.LoadFromProjectForEditing(project);
    ASSERT_EQ(store.FVariables.size(), 1u);
    EXPECT_EQ(store.FVariables[0].Value, "v");

    TDocProject noFolder;
    EXPECT_FALSE(ReusableContentFileDamaged(noFolder));
}
