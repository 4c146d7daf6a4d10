#include "content/ReusableContent.h"

#include "TempDir.h"
#include "base/Error.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <string>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

class ReusableContentTest : public ::testing::Test {
protected:
    ReusableContentTest() { FProject.RootPath = FDir.Path() + "/"; }

    [[nodiscard]] std::string FileText() const { return ReadFile(ReusableContentPath(FProject)); }
    void WriteFileText(const std::string& json) const {
        WriteFile(ReusableContentPath(FProject), json);
    }
    [[nodiscard]] TReusableProjectContent Load() const {
        TReusableProjectContent store;
        store.LoadFromProject(FProject);
        return store;
    }

    TTempDir FDir;
    TDocProject FProject;
};

TEST_F(ReusableContentTest, PathIsInTheMetaFolder) {
    EXPECT_EQ(ReusableContentPath(FProject), FDir.Path() + "/meta/reusable_content.json");
}

TEST_F(ReusableContentTest, SavesCompactAsciiJsonInFixedOrder) {
    struct Case {
        const char* what;
        TReusableProjectContent store;
        std::string json;
    };
    const Case cases[] = {
        {"empty store: 46 bytes", {}, R"({"variables":[],"snippets":[],"conditions":[]})"},
        {"name trimmed, value kept",
         {{{" Product ", " X "}}, {}, {}},
         R"({"variables":[{"name":"Product","value":" X "}],"snippets":[],"conditions":[]})"},
        {"escapes",
         {{{"v", "caf\xC3\xA9 a/b \"q\"\t\\"}}, {}, {}},
         R"({"variables":[{"name":"v","value":"caf\u00E9 a\/b \"q\"\t\\"}],)"
         R"("snippets":[],"conditions":[]})"},
        {"blank names left out",
         {{{" \t", "x"}}, {{"", "<b>"}, {"Note", "<i>n</i>"}}, {{" ", true}, {"Pro", false}}},
         R"({"variables":[],"snippets":[{"name":"Note","html":"<i>n<\/i>"}],)"
         R"("conditions":[{"name":"Pro","enabled":false}]})"},
    };
    for (const Case& c : cases) {
        c.store.SaveToProject(FProject);
        EXPECT_EQ(FileText(), c.json) << c.what;
    }
    TReusableProjectContent().SaveToProject(FProject);
    EXPECT_EQ(FileText().size(), 46u);
}

TEST_F(ReusableContentTest, RoundTripKeepsOrderDuplicatesAndText) {
    TReusableProjectContent saved;
    saved.FVariables = {{"b", "2"}, {"a", "caf\xC3\xA9 \xF0\x9F\x98\x80"}, {"b", "dup"}};
    saved.FSnippets = {{"Note", "<p class=\"n\">{var:a}</p>"}};
    saved.FConditions = {{"Pro", true}, {"Beta", false}};
    saved.SaveToProject(FProject);
    EXPECT_NE(FileText().find(R"(\uD83D\uDE00)"), std::string::npos);

    const TReusableProjectContent loaded = Load();
    ASSERT_EQ(loaded.FVariables.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.FVariables[i].Name, saved.FVariables[i].Name);
        EXPECT_EQ(loaded.FVariables[i].Value, saved.FVariables[i].Value);
    }
    ASSERT_EQ(loaded.FSnippets.size(), 1u);
    EXPECT_EQ(loaded.FSnippets[0].Html, saved.FSnippets[0].Html);
    ASSERT_EQ(loaded.FConditions.size(), 2u);
    EXPECT_TRUE(loaded.FConditions[0].Enabled);
    EXPECT_FALSE(loaded.FConditions[1].Enabled);
}

TEST_F(ReusableContentTest, ReadsTextFormsLeniently) {
    WriteFileText(R"({"extra":1,"variables":[
        {"name":" Num ","value":1.50},
        {"name":"Bool","value":true},
        {"name":"NoValue"},
        {"name":"   ","value":"dropped"},
        "not an object",
        {"name":7,"value":"numeric name"}],
      "snippets":[{"name":"S","html":12},{"html":"nameless"}]})");
    const TReusableProjectContent store = Load();
    struct Case {
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {"Num", "1.50"}, {"Bool", "true"}, {"NoValue", ""}, {"7", "numeric name"}};
    ASSERT_EQ(store.FVariables.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(store.FVariables[i].Name, cases[i].name);
        EXPECT_EQ(store.FVariables[i].Value, cases[i].value) << cases[i].name;
    }
    ASSERT_EQ(store.FSnippets.size(), 1u);
    EXPECT_EQ(store.FSnippets[0].Html, "12");
    EXPECT_TRUE(store.FConditions.empty());
}

TEST_F(ReusableContentTest, ReadsEnabledFlags) {
    struct Case {
        const char* member; // the "enabled" member as it stands in the file, or nothing
        bool enabled;
    };
    const Case cases[] = {
        {R"(,"enabled":true)", true},
        {R"(,"enabled":false)", false},
        {R"(,"enabled":1)", true},
        {R"(,"enabled":0)", false},
        {R"(,"enabled":"1")", true},
        {R"(,"enabled":"0")", false},
        {R"(,"enabled":" FALSE ")", false},
        {R"(,"enabled":"True")", true},
        {R"(,"enabled":"Yes")", true},
        {R"(,"enabled":"off")", true},
        {R"(,"enabled":0.0)", true},
        {R"(,"enabled":null)", true},
        {"", true},
    };
    for (const Case& c : cases) {
        WriteFileText(std::string(R"({"conditions":[{"name":"C")") + c.member + "}]}");
        const TReusableProjectContent store = Load();
        ASSERT_EQ(store.FConditions.size(), 1u) << c.member;
        EXPECT_EQ(store.FConditions[0].Enabled, c.enabled) << c.member;
    }
}

TEST_F(ReusableContentTest, MissingOrDamagedFileGivesEmptyStore) {
    TReusableProjectContent store;
    store.FVariables = {{"old", "x"}};
    store.LoadFromProject(FProject); // no file yet
    EXPECT_TRUE(store.FVariables.empty());

    store.FVariables = {{"old", "x"}};
    WriteFileText(R"({"variables":[{"name":"a","value":"b"})"); // cut short
    store.LoadFromProject(FProject);
    EXPECT_TRUE(store.FVariables.empty());

    TDocProject noFolder;
    store.FVariables = {{"old", "x"}};
    store.LoadFromProject(noFolder);
    EXPECT_TRUE(store.FVariables.empty());
}

TEST_F(ReusableContentTest, WrongShapesRaise) {
    struct Case {
        const char* json;
        size_t variablesKept;
    };
    const Case cases[] = {
        {"[]", 0},
        {R"("text")", 0},
        {R"({"variables":{}})", 0},
        {R"({"variables":[{"name":"a","value":"1"}],"snippets":"x"})", 1},
        {R"({"variables":[],"snippets":[],"conditions":5})", 0},
    };
    for (const Case& c : cases) {
        WriteFileText(c.json);
        TReusableProjectContent store;
        EXPECT_THROW(store.LoadFromProject(FProject), EJsonError) << c.json;
        EXPECT_EQ(store.FVariables.size(), c.variablesKept) << c.json;
    }
    WriteFileText("{\"variables\":[{\"name\":\"a\",\"value\":\"\xC3\"}]}");
    EXPECT_THROW((void)Load(), EEncodingError);
}

TEST(ReusableContentLookup, FirstMatchIgnoringAsciiCaseOnly) {
    TReusableProjectContent store;
    store.FVariables = {{"Ver", "1"}, {"ver", "2"}, {"\xC3\x89t\xC3\xA9", "summer"}};
    store.FSnippets = {{"Note", "<b>n</b>"}};
    store.FConditions = {{"Pro", false}};
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"VER", "1"},
        {"ver", "1"},
        {"\xC3\x89t\xC3\xA9", "summer"},
        {"\xC3\xA9t\xC3\xA9", "default"}, // only ASCII letters fold
        {" Ver", "default"},              // names are used as passed
        {"", "default"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.VariableValue(c.name, "default"), c.value) << c.name;
    EXPECT_EQ(store.SnippetHtml("NOTE", ""), "<b>n</b>");
    EXPECT_EQ(store.SnippetHtml("Other", "none"), "none");
    EXPECT_FALSE(store.ConditionEnabled("pro", true));
    EXPECT_TRUE(store.ConditionEnabled("Beta", true));
    EXPECT_FALSE(store.ConditionEnabled("Beta", false));
}

} // namespace
