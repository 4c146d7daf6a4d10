// The project commands around the settings dialog: asking for new settings
// and applying the confirmed ones to the files, the window and the page.
#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectCommands.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/UserPrompts.h"
#include "workspace/WorkspaceHost.h"

#include <filesystem>

namespace qm {

namespace {

// Every topic's header takes the new default background, whatever it had.
// A header file that cannot be written keeps its old colour; the others go on.
void WriteHeaderBackgrounds(const TDocProject& project, const std::string& color) {
    if (project.RootPath.empty())
        return;
    const std::string meta = JoinPath(project.RootPath, "meta");
    if (!DirectoryExists(meta))
        return;
    try {
        WriteTextFileUtf8(JoinPath(meta, "headerbg_default.txt"), color);
    } catch (const EQuillmateError&) {
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::path(meta), ec)) {
        const std::string name = e.path().filename().string();
        if (!e.is_regular_file(ec) || !StartsWith(name, "headerbg_") || !EndsWith(name, ".txt"))
            continue;
        try {
            WriteTextFileUtf8(e.path().string(), color);
        } catch (const EQuillmateError&) {
        }
    }
}

} // namespace

void TProjectCommands::EditSettings() {
    TProjectSettings edited = FWorkspace.Settings();
    if (FPrompts.EditProjectSettings(edited))
        ApplySettings(edited);
}

void TProjectCommands::ApplySettings(const TProjectSettings& settings) {
    FWorkspace.UseSettings(settings);
    const TDocProject& project = FWorkspace.Project();
    const std::string file = TProjectSettings::DefaultSettingsPathForProject(project.RootPath);
    try {
        if (!project.RootPath.empty())
            FWorkspace.Settings().SaveToFile(file);
    } catch (const EQuillmateError& e) {
        // The values stay in use; the author must know they are not on disk.
        FPrompts.ShowWarning(FormatS(Translate("The settings could not be saved to %s."), file) +
                             "\n" + e.what());
    }
    FHost.SettingsApplied();
    FSession.ApplyEditorStylesheet();
    FSession.ReplaceEmptyTopicByDefault();
    FSession.RefreshAutoHeaderForEmptyTopic();
    FSession.ApplySettingsToEditor();
    FHost.QueueEditorFocus();
    WriteHeaderBackgrounds(project, ColorToHtml(FWorkspace.Settings().DefaultHeaderBgColor));
    FWorkspace.MarkDirty();
    FHost.ProjectStateChanged();
}

} // namespace qm
