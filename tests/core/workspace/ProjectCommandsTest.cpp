// The project commands against a fake page: copies, moves and titles of
// projects on disk.
#include "WorkspaceFixture.h"

#include "base/PathUtils.h"
#include "linkcheck/LinkChecker.h"
#include "model/Storage.h"
#include "platform/ProjectLock.h"
#include "settings/ProjectSettings.h"

#include <filesystem>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

struct ProjectCommands : TWorkspaceFixture {
    // An untitled project with a typed Welcome page, saved as file.
    std::string SaveNew(const std::string& file, const std::string& text) {
        Start();
        page.Type(text);
        prompts.SaveFiles = {file};
        EXPECT_TRUE(commands.Save());
        return Project().RootTopicIDs.front();
    }
};

} // namespace

TEST_F(ProjectCommands, ACopiedProjectEditsTheCopyNeverTheOriginal) {
    const std::string welcome = SaveNew(dir / "orig/Guide.hff", "<p>original</p>");
    const std::string originalPage = ReadFile(dir / ("orig/Guide/topics/" + welcome + ".html"));
    fs::copy(dir / "orig", dir / "copy", fs::copy_options::recursive);

    commands.OpenProject(dir / "copy/Guide.hff");
    page.Deliver();
    EXPECT_EQ(Project().RootPath, dir / "copy/Guide/");
    page.Type("<p>changed in the copy</p>");
    EXPECT_TRUE(commands.Save());

    EXPECT_EQ(ReadFile(dir / ("orig/Guide/topics/" + welcome + ".html")), originalPage);
    EXPECT_NE(ReadFile(dir / ("copy/Guide/topics/" + welcome + ".html")).find("changed"),
              std::string::npos);
    EXPECT_EQ(ReadProjectFile(dir / "copy/Guide.hff").Folder, dir / "copy/Guide");
    EXPECT_NE(ReadFile(dir / "copy/Guide.hff").find(JsonQuote(dir / "copy/Guide")),
              std::string::npos)
        << "the copy's file names the copy's folder after a save";
}

TEST_F(ProjectCommands, SaveAsMovesEveryPageOfTheProject) {
    const std::string welcome = SaveNew(dir / "a/Guide.hff", "<p>first</p>");
    EXPECT_FALSE(FileExists(dir / "user/Workspace/.in-use")) << "the workspace is released";
    EXPECT_FALSE(FileExists(dir / "a/Guide/.in-use")) << "the marker stays in the workspace";
    const std::string second = Project().AddTopic("Second", "").ID;
    workspace.SaveModel();
    Select(second);

    prompts.SaveFiles = {dir / "b/Guide.hff"};
    ASSERT_TRUE(commands.SaveAs());
    for (const TTopic& t : Project().Topics)
        EXPECT_EQ(Project().TopicHtmlPath(t.ID), dir / ("b/Guide/topics/" + t.ID + ".html"));

    // The link checker reads the pages in the new folder.
    WriteFile(dir / ("b/Guide/topics/" + welcome + ".html"),
              "<a href=\"doc:0123456789ABCDEF0123456789ABCDEF\">gone</a>");
    EXPECT_EQ(CheckLinks(Project()).size(), 1u);

    // Removing a topic deletes its page in the new folder; the old stays as it was.
    Project().DeleteTopic(second);
    EXPECT_FALSE(FileExists(dir / ("b/Guide/topics/" + second + ".html")));
    EXPECT_TRUE(FileExists(dir / ("a/Guide/topics/" + second + ".html")));
}

// Another program (a second window, a command-line import) must not write
// the project the author has open, nor the author one it holds.
TEST_F(ProjectCommands, TheOpenProjectIsLockedAgainstOtherWriters) {
    using platform::EProjectInUse;
    using platform::TProjectLock;
    SaveNew(dir / "a/Guide.hff", "<p>first</p>");
    EXPECT_THROW(TProjectLock(dir / "a/Guide"), EProjectInUse);
    { const TProjectLock released(dir / "user/Workspace"); } // the untitled one was saved away

    prompts.SaveFiles = {dir / "b/Guide.hff"};
    ASSERT_TRUE(commands.SaveAs());
    { const TProjectLock released(dir / "a/Guide"); }
    EXPECT_THROW(TProjectLock(dir / "b/Guide"), EProjectInUse);
    commands.OpenProject(dir / "b/Guide.hff"); // the project it holds already

    fs::copy(dir / "a", dir / "c", fs::copy_options::recursive);
    WriteFile(dir / "c/Guide/topics/page.html.tmp-Ab12Cd", "cut short");
    WriteFile(dir / "c/Guide/assets/images/a.png.tmp-Ab12Cd", "cut short");
    {
        const TProjectLock other(dir / "c/Guide");
        try {
            commands.OpenProject(dir / "c/Guide.hff");
            ADD_FAILURE() << "opened a project another program holds";
        } catch (const EProjectInUse& e) {
            EXPECT_EQ(std::string(e.what()), "project in use: " + dir / "c/Guide");
        }
        EXPECT_EQ(Project().RootPath, dir / "b/Guide/");
        EXPECT_TRUE(FileExists(dir / "c/Guide/topics/page.html.tmp-Ab12Cd"));
    }
    commands.OpenProject(dir / "c/Guide.hff");
    EXPECT_EQ(Project().RootPath, dir / "c/Guide/");
    EXPECT_FALSE(FileExists(dir / "c/Guide/topics/page.html.tmp-Ab12Cd"));
    EXPECT_FALSE(FileExists(dir / "c/Guide/assets/images/a.png.tmp-Ab12Cd"));
    { const TProjectLock released(dir / "b/Guide"); }
}

TEST_F(ProjectCommands, AProjectKeepsItsTitleThroughOpenAndSave) {
    // The sample as shipped, and a project that has no settings file.
    fs::copy(QUILLMATE_SOURCE_DIR "/examples/sample", dir / "sample", fs::copy_options::recursive);
    fs::copy(dir / "sample", dir / "bare", fs::copy_options::recursive);
    fs::remove(dir / "bare/Sample/meta/project_settings.json");
    for (const std::string copy : {"sample", "bare"}) {
        Start(dir / (copy + "/Sample.hff"));
        EXPECT_EQ(Project().Title, "Sample Manual") << copy;
        page.Type("<p>edit</p>");
        ASSERT_TRUE(commands.Save()) << copy;
        EXPECT_EQ(ReadProjectFile(dir / (copy + "/Sample.hff")).Title, "Sample Manual") << copy;
    }
}

TEST_F(ProjectCommands, DialogsStartInTheProjectsFolder) {
    Start();
    page.Type("<p>x</p>");
    prompts.SaveFiles = {dir / "docs/Guide.hff"};
    ASSERT_TRUE(commands.Save());
    EXPECT_EQ(prompts.LastProposedSaveName, "Untitled.hff");

    prompts.OpenFiles = {std::nullopt};
    commands.OpenCommand();
    EXPECT_EQ(prompts.LastOpenFolder, dir / "docs");
    prompts.SaveFiles = {std::nullopt};
    EXPECT_FALSE(commands.SaveAs());
    EXPECT_EQ(prompts.LastProposedSaveName, dir / "docs/Guide.hff");
}

TEST_F(ProjectCommands, UnsavedWorkIsNeverReplacedWithoutTheAuthorsSay) {
    Start();
    page.Type("<p>precious</p>");
    page.Deliver();
    // Yes, then the Save As dialog cancelled: nothing was saved, so New stops.
    prompts.YesNoCancel = {TAnswer::Yes};
    prompts.SaveFiles = {std::nullopt};
    commands.New();
    EXPECT_TRUE(workspace.Dirty());
    EXPECT_NE(session.GetCurrentTopicHtml().find("precious"), std::string::npos);
    // No, then the Open dialog cancelled: the edits stay.
    prompts.YesNoCancel = {TAnswer::No};
    prompts.OpenFiles = {std::nullopt};
    commands.OpenCommand();
    EXPECT_NE(session.GetCurrentTopicHtml().find("precious"), std::string::npos);
    // No to New: the workspace starts over.
    prompts.YesNoCancel = {TAnswer::No};
    prompts.SettingsEdits = {std::nullopt};
    commands.New();
    page.Deliver();
    EXPECT_FALSE(workspace.Dirty());
    EXPECT_EQ(session.GetCurrentTopicHtml().find("precious"), std::string::npos);
}

// A second window of the program running at the same time: it neither takes
// the first one's running workspace for a crashed one nor wipes it.
TEST_F(ProjectCommands, ASecondWindowGetsAWorkspaceOfItsOwn) {
    Start();
    page.Type("<p>first window</p>");
    commands.CommitWorkingState();
    const std::string welcome = Project().RootTopicIDs.front();
    const std::string firstPage = Page(welcome);

    TFakePage page2;
    TFakeHost host2;
    TScriptedPrompts prompts2;
    TProjectWorkspace workspace2{
        {dir / "user/Workspace/", dir / "user/last_project.txt", QUILLMATE_DATA_DIR}};
    TEditingSession session2{workspace2, page2, host2};
    TProjectCommands commands2{workspace2, session2, prompts2, host2};
    page2.Session = &session2;
    host2.Page = &page2;
    host2.Session = &session2;
    host2.Workspace = &workspace2;
    commands2.Start("", "20261210-130000");

    EXPECT_EQ(workspace2.Project().RootPath, dir / "user/Workspace-2/");
    EXPECT_EQ(Project().RootPath, dir / "user/Workspace/");
    EXPECT_EQ(Page(welcome), firstPage) << "the first window's work is untouched";
    EXPECT_FALSE(DirectoryExists(dir / "user/Workspace-20261210-130000"));
}
