#include "workspace/ProjectFolders.h"
#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"
#include "workspace/TopicHtmlRules.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(ProjectFolders, NormalizeProjectPath) {
    EXPECT_EQ(NormalizeProjectPath("C:\\Program Files\\App\\D:\\Docs\\a.hff"), "D:\\Docs\\a.hff");
    EXPECT_EQ(NormalizeProjectPath("  C:\\Docs\\a.hff \n"), "C:\\Docs\\a.hff");
    EXPECT_EQ(NormalizeProjectPath("a.hff"),
              (std::filesystem::current_path() / "a.hff").lexically_normal().string());
    EXPECT_EQ(NormalizeProjectPath("/x/./y/../a.hff"), "/x/a.hff");
    EXPECT_EQ(NormalizeProjectPath(""), "");
}

TEST(ProjectFolders, PrepareCopiesProgramFilesButKeepsTheProjectStyle) {
    TTempDir dir;
    WriteFile(dir / "prog/AppFiles/editor/editor.html", "new editor");
    WriteFile(dir / "prog/AppFiles/webhelp/app.js", "js");
    WriteFile(dir / "prog/AppFiles/webhelp/sub/skip.txt", "no");
    WriteFile(dir / "prog/styles/default.css", "program css");
    WriteFile(dir / "proj/internal/editor/editor.html", "old editor");
    WriteFile(dir / "proj/styles/default.css", "author's css");

    EnsureProjectFolders(dir / "proj/");
    PrepareInternalFiles(dir / "proj/", dir / "prog");
    EXPECT_EQ(ReadFile(dir / "proj/internal/editor/editor.html"), "new editor");
    EXPECT_EQ(ReadFile(dir / "proj/internal/webhelp/app.js"), "js");
    EXPECT_FALSE(DirectoryExists(dir / "proj/internal/webhelp/sub"));
    EXPECT_EQ(ReadFile(dir / "proj/styles/default.css"), "author's css");
    for (const char* sub : {"topics", "meta", "assets/images", "build"})
        EXPECT_TRUE(DirectoryExists(dir / ("proj/" + std::string(sub)))) << sub;

    PrepareInternalFiles(dir / "fresh/", dir / "prog");
    EXPECT_EQ(ReadFile(dir / "fresh/styles/default.css"), "program css");
}

TEST(ProjectFolders, CopyProjectFolderLeavesBuildAndProjectFilesBehind) {
    TTempDir dir;
    WriteFile(dir / "a/topics/X.html", "x");
    WriteFile(dir / "a/build/webhelp/index.html", "built");
    WriteFile(dir / "a/assets/build/keep.png", "kept: not the top-level build");
    WriteFile(dir / "a/Old.HFF", "{}");
    WriteFile(dir / "a/meta/nested.hff", "{}");
    WriteFile(dir / "a/.quillmate.lock", "");
    CopyProjectFolder(dir / "a", dir / "b");
    EXPECT_FALSE(FileExists(dir / "b/.quillmate.lock")) << "the copy has a lock of its own";
    EXPECT_EQ(ReadFile(dir / "b/topics/X.html"), "x");
    EXPECT_TRUE(FileExists(dir / "b/assets/build/keep.png"));
    EXPECT_FALSE(DirectoryExists(dir / "b/build"));
    EXPECT_FALSE(FileExists(dir / "b/Old.HFF"));
    EXPECT_FALSE(FileExists(dir / "b/meta/nested.hff"));
}

TEST(ProjectFolders, StyleProfilesAndEffectiveSheet) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "p/";
    EXPECT_EQ(ListStyleProfiles(p.RootPath), (std::vector<std::string>{"default"}));
    WriteFile(dir / "p/styles/b.css", "b{}");
    WriteFile(dir / "p/styles/a.css", "a{}");
    EXPECT_EQ(ListStyleProfiles(p.RootPath), (std::vector<std::string>{"a", "b"}));

    TProjectSettings s;
    p.StyleProfile = "missing";
    std::string path = BuildEditorEffectiveCss(p, s);
    EXPECT_EQ(path, dir / "p/internal/editor/editor_effective.css");
    EXPECT_EQ(
        ReadFile(path).rfind("body{font-family:Segoe UI,Arial;line-height:1.5;margin:0;}\r\n", 0),
        0u);
    WriteFile(dir / "p/styles/default.css", "d{}");
    EXPECT_EQ(ReadFile(BuildEditorEffectiveCss(p, s)).rfind("d{}\r\n", 0), 0u);
    p.StyleProfile = "b";
    const std::string css = ReadFile(BuildEditorEffectiveCss(p, s));
    EXPECT_EQ(css.rfind("b{}\r\n", 0), 0u);
    EXPECT_NE(css.find("!important"), std::string::npos); // the overrides come last
}

TEST(TopicHtmlRules, EmptyBodiesAndGeneratedHeaders) {
    struct Case {
        const char* html;
        bool empty;
    };
    const Case cases[] = {
        {"<p style=\"font-family:Segoe UI\"><br></p>", true},
        {"<p>&nbsp;</p>", true},
        {"<p>\xC2\xA0\xC2\xA0</p>", true},
        {"<p><img src=\"a.png\"></p>", false},
        {"<p>x</p>", false},
        {"", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsEmptyTopicHtml(c.html), c.empty) << c.html;

    EXPECT_TRUE(IsAutoHeaderHtml("<div><b>R&amp;D</b></div>", "R&D", "Proj"));
    EXPECT_TRUE(IsAutoHeaderHtml("<b>proj</b>", "Other", "Proj"));
    EXPECT_FALSE(IsAutoHeaderHtml("<div><b>R&amp;D</b> <a href=\"x\">x</a></div>", "R&D x", "P"));
    EXPECT_FALSE(IsAutoHeaderHtml("<b>Changed</b>", "R&D", "Proj"));
}
