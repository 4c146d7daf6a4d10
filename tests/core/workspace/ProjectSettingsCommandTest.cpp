// The settings dialog's command: what New asks, and what confirmed settings
// do to the files, the page and the modified flag.
#include "WorkspaceFixture.h"

#include "base/PathUtils.h"
#include "model/TopicHeaders.h"
#include "settings/ProjectSettings.h"

#include <filesystem>

using namespace qm;
using namespace qm::test;
namespace fs = std::filesystem;

namespace {

struct ProjectSettingsCommand : TWorkspaceFixture {
    std::string SettingsFile() {
        return TProjectSettings::DefaultSettingsPathForProject(Project().RootPath);
    }
    std::string Meta(const std::string& name) {
        return JoinPath(Project().RootPath, "meta/" + name);
    }
    static TProjectSettings Edited() {
        TProjectSettings s;
        s.ProjTitle = "Edited Guide";
        s.DefaultFontName = "Edited Font";
        s.DefaultHeaderBgColor = 0x332211; // #112233
        return s;
    }
};

} // namespace

TEST_F(ProjectSettingsCommand, NewProjectAsksForItsSettingsAndUsesThem) {
    Start();
    prompts.SettingsEdits = {Edited()};
    commands.New();
    page.Deliver();

    ASSERT_EQ(prompts.SettingsOffered.size(), 1u);
    EXPECT_EQ(prompts.SettingsOffered[0].ProjTitle, TProjectSettings().ProjTitle)
        << "the dialog shows the new project's settings";
    EXPECT_EQ(workspace.Settings().ProjTitle, "Edited Guide");
    EXPECT_EQ(Project().Title, "Edited Guide");
    TProjectSettings onDisk;
    ASSERT_TRUE(onDisk.LoadFromFile(SettingsFile()));
    EXPECT_EQ(onDisk.DefaultFontName, "Edited Font");
    EXPECT_TRUE(workspace.Dirty());
    EXPECT_TRUE(prompts.Warnings.empty());
}

TEST_F(ProjectSettingsCommand, CancelLeavesSettingsFilesAndFlagAlone) {
    Start();
    WriteFile(Meta("headerbg_ABC.txt"), "#ABCDEF");
    const std::string settingsBefore = ReadFile(SettingsFile());
    const std::string titleBefore = workspace.Settings().ProjTitle;

    prompts.SettingsEdits = {std::nullopt};
    commands.EditSettings();

    EXPECT_EQ(workspace.Settings().ProjTitle, titleBefore);
    EXPECT_EQ(ReadFile(SettingsFile()), settingsBefore);
    EXPECT_EQ(ReadFile(Meta("headerbg_ABC.txt")), "#ABCDEF");
    EXPECT_FALSE(workspace.Dirty());
}

TEST_F(ProjectSettingsCommand, EveryHeaderTakesTheNewBackground) {
    Start();
    WriteFile(Meta("headerbg_ABC.txt"), "#ABCDEF");
    WriteFile(Meta("headerbg_XYZ.txt"), "");
    WriteFile(Meta("header_ABC.html"), "<b>kept</b>");
    prompts.SettingsEdits = {Edited()};
    commands.EditSettings();

    for (const char* name : {"headerbg_default.txt", "headerbg_ABC.txt", "headerbg_XYZ.txt"})
        EXPECT_EQ(ReadFile(Meta(name)), "#112233") << name;
    EXPECT_EQ(ReadFile(Meta("header_ABC.html")), "<b>kept</b>");
    EXPECT_EQ(page.HeaderBg, "#112233");
}

TEST_F(ProjectSettingsCommand, ASettingsFileThatCannotBeWrittenIsReportedAndTheValuesApplied) {
    Start();
    // A folder where the file should be: no system lets it be replaced by a file.
    fs::remove(SettingsFile());
    fs::create_directories(SettingsFile() + "/blocker");

    prompts.SettingsEdits = {Edited()};
    commands.EditSettings();

    ASSERT_EQ(prompts.Warnings.size(), 1u);
    EXPECT_NE(prompts.Warnings[0].find(SettingsFile()), std::string::npos) << prompts.Warnings[0];
    EXPECT_EQ(workspace.Settings().DefaultFontName, "Edited Font");
    EXPECT_TRUE(workspace.Dirty());
    EXPECT_EQ(ReadFile(Meta("headerbg_default.txt")), "#112233") << "the other steps still run";
}

TEST_F(ProjectSettingsCommand, AnEmptyTopicGetsTheDefaultParagraphOfTheNewSettings) {
    Start();
    const std::string id = Project().RootTopicIDs.front();
    page.Body = "<p><br></p><p>&nbsp;</p>";
    prompts.SettingsEdits = {Edited()};
    commands.EditSettings();
    page.Deliver();

    const std::string expected = DefaultTopicHtml(Edited());
    EXPECT_EQ(page.LastSetHtml(), expected);
    EXPECT_NE(expected.find("Edited Font"), std::string::npos);
    session.CommitEditorState();
    EXPECT_EQ(Page(id), expected) << "written with the project";
}

TEST_F(ProjectSettingsCommand, ATopicWithContentKeepsIt) {
    const struct {
        const char* what;
        const char* body;
    } cases[] = {
        {"text", "<p>Words</p>"},
        {"image", "<p><img src=\"a.png\"></p>"},
        {"table", "<table><tr><td></td></tr></table>"},
    };
    Start();
    for (const auto& c : cases) {
        page.Sent.clear();
        page.Body = c.body;
        prompts.SettingsEdits = {Edited()};
        commands.EditSettings();
        page.Deliver();
        EXPECT_EQ(page.LastSetHtml(), "") << c.what;
        EXPECT_EQ(page.Body, c.body) << c.what;
    }
}
