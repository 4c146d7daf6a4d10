#include "model/Storage.h"
#include "base/Error.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "model/TopicHeaders.h"
#include "settings/ProjectSettings.h"

#include "TempDir.h"

#include <gtest/gtest.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(ProjectFile, SavedBesideItsDataFolderWithBomAndRoot) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "elsewhere/";
    p.Title = "Caf\xC3\xA9 \"A/B\"";
    WriteProjectFile(dir / "Docs/Manual.hff", p);

    EXPECT_EQ(ReadFile(dir / "Docs/Manual.hff"),
              "\xEF\xBB\xBF{\"version\":\"1.0\",\"title\":\"Caf\\u00E9 \\\"A\\/B\\\"\",\"root\":" +
                  JsonQuote(dir / "Docs/Manual") + "}");
    EXPECT_TRUE(FileExists(dir / "Docs/Manual/project.json"));
    EXPECT_EQ(p.RootPath, dir / "elsewhere/");

    const TProjectFileInfo info = ReadProjectFile(dir / "Docs/Manual.hff");
    EXPECT_EQ(info.Folder, dir / "Docs/Manual");
    EXPECT_EQ(info.Title, p.Title);

    WriteProjectFile(dir / "Docs/.hff", p);
    EXPECT_TRUE(FileExists(dir / "Docs/Project/project.json"));
}

TEST(ProjectFile, RootFallsBackToTheFolderBesideTheFile) {
    TTempDir dir;
    WriteFile(dir / "Moved/project.json", "{}");
    WriteFile(dir / "Moved.hff", R"({"title":"T","root":"C:\\Old\\Place\\Moved"})");
    EXPECT_EQ(ReadProjectFile(dir / "Moved.hff").Folder, dir / "Moved");
    WriteFile(dir / "Empty.hff", R"({"title":"T","root":""})");
    EXPECT_EQ(ReadProjectFile(dir / "Empty.hff").Folder, dir / "Empty");
}

TEST(ProjectFile, ReadErrors) {
    TTempDir dir;
    struct Case {
        const char* content; // nullptr: no file
        const char* messageStart;
    };
    const Case cases[] = {
        {nullptr, "Project file not found: "},
        {"not json", "Invalid project file: "},
        {R"({"root":"x"})", "Value not found: \"title\""},
        {R"({"title":"x"})", "Value not found: \"root\""},
        {"[1]", "Invalid type cast"},
    };
    for (const auto& c : cases) {
        const std::string file = dir / "P.hff";
        std::remove(file.c_str());
        if (c.content != nullptr)
            WriteFile(file, c.content);
        try {
            (void)ReadProjectFile(file);
            ADD_FAILURE() << "no error for " << (c.content ? c.content : "(missing)");
        } catch (const EQuillmateError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.messageStart, 0), 0u) << e.what();
        }
    }
}

TEST(ProjectModel, WritesTheExactJsonForm) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir.Path() + "/";
    p.Title = "Manual";
    auto t = std::make_unique<TTopic>();
    t->ID = "AB";
    t->Title = "Intro \xE2\x80\x94 1/2";
    t->ExcludePdf = true;
    t->Children = {"CD"};
    t->Keywords = {"k1", "k2"};
    t->IndexEntries = {"i"};
    p.Topics.Add(std::move(t));
    auto c = std::make_unique<TTopic>();
    c->ID = "CD";
    c->ParentID = "AB";
    p.Topics.Add(std::move(c));
    p.RootTopicIDs = {"AB"};
    SaveProjectModel(p);

    EXPECT_EQ(ReadFile(dir / "project.json"), R"({"title":"Manual","styleProfile":"default"})");
    EXPECT_EQ(
        ReadFile(dir / "meta/topics.json"),
        R"({"rootTopicIds":["AB"],"topics":[)"
        R"({"id":"AB","title":"Intro \u2014 1\/2","htmlPath":"topics\\AB.html","parentId":"",)"
        R"("excludeWeb":false,"excludeChm":false,"excludePdf":true,"children":["CD"],)"
        R"("keywords":["k1","k2"],"index":["i"]},)"
        R"({"id":"CD","title":"","htmlPath":"topics\\CD.html","parentId":"AB",)"
        R"("excludeWeb":false,"excludeChm":false,"excludePdf":false,"children":[],)"
        R"("keywords":[],"index":[]}]})");

    TDocProject back;
    LoadProjectModel(dir.Path() + "/", back);
    EXPECT_EQ(back.Title, "Manual");
    EXPECT_EQ(back.GetTopic("AB").Title, "Intro \xE2\x80\x94 1/2");
    EXPECT_TRUE(back.GetTopic("AB").ExcludePdf);
    EXPECT_EQ(back.GetTopic("AB").Keywords, (std::vector<std::string>{"k1", "k2"}));
}

TEST(ProjectModel, LoaderIsLenientAboutMembers) {
    TTempDir dir;
    WriteFile(dir / "project.json", R"({"styleProfile":""})");
    WriteFile(dir / "meta/topics.json",
              R"({"rootTopicIds":["A","GHOST"],"topics":[)"
              R"({"id":"A","htmlPath":"C:\\elsewhere\\x.html","excludeWeb":"TRUE","excludeChm":1},)"
              R"({"title":"no id"},{"id":"","title":"empty id"},)"
              R"({"id":"B","parentId":"NOBODY","excludePdf":"yes"}]})");
    TDocProject p;
    LoadProjectModel(dir.Path() + "/", p);
    EXPECT_EQ(p.Title, "Untitled Documentation");
    EXPECT_EQ(p.StyleProfile, "default");
    EXPECT_EQ(p.Topics.Count(), 2u);
    EXPECT_EQ(p.RootTopicIDs, (std::vector<std::string>{"A", "GHOST"}));
    const TTopic& a = p.GetTopic("A");
    EXPECT_EQ(a.HtmlPath, dir / "topics/A.html");
    EXPECT_TRUE(a.ExcludeWeb);
    EXPECT_FALSE(a.ExcludeChm);
    EXPECT_TRUE(a.Children.empty());
    EXPECT_FALSE(p.GetTopic("B").ExcludePdf);
    EXPECT_EQ(p.GetTopic("B").ParentID, "NOBODY");

    TDocProject none;
    TTempDir empty;
    LoadProjectModel(empty.Path() + "/", none);
    EXPECT_EQ(none.Topics.Count(), 0u);
}

// A damaged file must stop the load: treating it as missing would let the
// next save replace the author's tree with an empty one.
TEST(ProjectModel, DamagedOrMistypedFilesFailTheLoad) {
    const char* topicsFiles[] = {
        "{\"rootTopicIds\":[\"A\"],", // truncated
        "[]",                         // not an object
        R"({"rootTopicIds":"A"})",    // list of the wrong type
        R"({"topics":[1]})",          // element not an object
        R"({"topics":[{"id":"A","children":"B"}]})",
        R"({"topics":[{"id":"A"},{"id":"A"}]})", // duplicate id
    };
    for (const char* content : topicsFiles) {
        TTempDir dir;
        WriteFile(dir / "meta/topics.json", content);
        TDocProject p;
        EXPECT_THROW(LoadProjectModel(dir.Path() + "/", p), EJsonError) << content;
    }
    TTempDir dir;
    WriteFile(dir / "project.json", "{\"title\":");
    TDocProject p;
    EXPECT_THROW(LoadProjectModel(dir.Path() + "/", p), EJsonError);
}

TEST(ProjectModel, UnsafeTopicIdsKeepTheirEntryButNeverNameAFile) {
    TTempDir dir;
    WriteFile(dir / "secret.html", "outside");
    WriteFile(dir / "proj/meta/topics.json",
              R"({"rootTopicIds":["..\/secret"],"topics":[{"id":"..\/secret","title":"T"}]})");
    TDocProject p;
    LoadProjectModel(dir / "proj/", p);
    ASSERT_TRUE(p.HasTopic("../secret"));
    EXPECT_EQ(p.GetTopic("../secret").HtmlPath, "");
    p.DeleteTopic("../secret");
    EXPECT_TRUE(FileExists(dir / "secret.html"));
    SaveProjectModel(p);
}

TEST(TopicHeaders, FilesOrGeneratedDefaults) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir.Path() + "/";
    p.Title = "Proj";
    TTopic& t = p.AddTopic("A<B", "");
    TProjectSettings s;

    TTopicHeader h = LoadHeaderForTopic(p, s, t.ID);
    EXPECT_EQ(h.Html, "<div style=\"font-size:16px;font-family:Segoe UI, Arial, sans-serif;"
                      "color:#000000;\"><b>A&lt;B</b></div>");
    EXPECT_EQ(h.Background, "#fafafa");
    EXPECT_EQ(LoadHeaderForTopic(p, s, "").Html.find("<b>Proj</b>") != std::string::npos, true);

    SaveHeaderForTopic(p, t.ID, "<p>H</p>", "  #123456 \n");
    h = LoadHeaderForTopic(p, s, t.ID);
    EXPECT_EQ(h.Html, "<p>H</p>");
    EXPECT_EQ(h.Background, "#123456");
    EXPECT_TRUE(FileExists(dir / ("meta/header_" + t.ID + ".html")));

    EXPECT_EQ(DefaultTopicHtml(s), "<p style=\"font-family:Segoe UI, Arial, sans-serif;"
                                   "font-size:16px;color:#000000;line-height:1.5;\"><br></p>");
}
