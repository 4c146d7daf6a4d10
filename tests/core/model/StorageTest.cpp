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

TEST(ProjectFile, SavedWithBomAndTheFolderInUseAsRoot) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "Docs/Manual/";
    p.Title = "Caf\xC3\xA9 \"A/B\"";
    WriteProjectFile(dir / "Docs/Manual.hff", p);

    EXPECT_EQ(ReadFile(dir / "Docs/Manual.hff"),
              "\xEF\xBB\xBF{\"version\":\"1.0\",\"title\":\"Caf\\u00E9 \\\"A\\/B\\\"\",\"root\":" +
                  JsonQuote(dir / "Docs/Manual") + "}");
    EXPECT_TRUE(FileExists(dir / "Docs/Manual/project.json"));
    EXPECT_EQ(p.RootPath, dir / "Docs/Manual/");

    const TProjectFileInfo info = ReadProjectFile(dir / "Docs/Manual.hff");
    EXPECT_EQ(info.Folder, dir / "Docs/Manual");
    EXPECT_EQ(info.Title, p.Title);

    TDocProject unplaced;
    WriteProjectFile(dir / "Docs/.hff", unplaced);
    EXPECT_TRUE(FileExists(dir / "Docs/Project/project.json"));
}

// A project opened through a "root" elsewhere is saved where its pages are;
// writing its model beside the file would split it over two folders.
TEST(ProjectFile, SavingAProjectThatLivesElsewhereKeepsItTogether) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "shared/Data/";
    WriteProjectFile(dir / "Guide.hff", p);
    EXPECT_TRUE(FileExists(dir / "shared/Data/meta/topics.json"));
    EXPECT_FALSE(DirectoryExists(dir / "Guide"));
    EXPECT_EQ(ReadProjectFile(dir / "Guide.hff").Folder, dir / "shared/Data");
    EXPECT_EQ(p.RootPath, dir / "shared/Data/");
}

// The folder beside the file wins whenever it holds a project: a copied or
// cloned project must never edit the original that its "root" still names.
TEST(ProjectFile, TheFolderBesideTheFileWinsOverRoot) {
    struct Case {
        const char* name;
        bool besideHasProject;
        bool besideExists;
        const char* root; // relative to the temporary folder; "" for empty
        bool rootHasProject;
        const char* expected; // relative to the temporary folder; nullptr: an error
    };
    const Case cases[] = {
        {"copy of a project", true, true, "Original/Guide", true, "Copy/Guide"},
        {"moved with its folder", true, true, "Gone/Guide", false, "Copy/Guide"},
        {"empty root", false, true, "", false, "Copy/Guide"},
        {"no data folder anywhere", false, false, "Gone/Guide", false, nullptr},
        {"empty root, no data folder", false, false, "", false, nullptr},
        {"data kept elsewhere", false, false, "Original/Guide", true, "Original/Guide"},
        {"empty folder beside", false, true, "Original/Guide", true, "Original/Guide"},
        {"nothing anywhere, folder beside", false, true, "Gone/Guide", false, "Copy/Guide"},
    };
    for (const Case& c : cases) {
        TTempDir dir;
        if (c.besideHasProject)
            WriteFile(dir / "Copy/Guide/project.json", "{}");
        else if (c.besideExists)
            EnsureDir(dir / "Copy/Guide");
        if (c.rootHasProject)
            WriteFile(dir / (std::string(c.root) + "/project.json"), "{}");
        const std::string root = *c.root == 0 ? std::string() : dir / c.root;
        WriteFile(dir / "Copy/Guide.hff", "{\"title\":\"T\",\"root\":" + JsonQuote(root) + "}");
        if (c.expected != nullptr) {
            EXPECT_EQ(ReadProjectFile(dir / "Copy/Guide.hff").Folder, dir / c.expected) << c.name;
            continue;
        }
        // A missing data folder is an error that names it, and nothing is made.
        try {
            (void)ReadProjectFile(dir / "Copy/Guide.hff");
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find(*c.root == 0 ? dir / "Copy/Guide" : root),
                      std::string::npos)
                << e.what();
        }
        EXPECT_FALSE(DirectoryExists(dir / "Copy/Guide")) << c.name;
    }
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
    EXPECT_EQ(p.TopicHtmlPath(a.ID), dir / "topics/A.html");
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
    EXPECT_EQ(p.TopicHtmlPath("../secret"), "");
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
