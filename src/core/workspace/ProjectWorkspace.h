#pragma once
// The open project and its life on disk: the untitled project in the
// per-user workspace folder, opening a project file, saving, moving the data
// folder on Save As, the last-project file and the marker that tells the
// next start whether the workspace was left by a crash.
#include "model/DocModel.h"
#include "platform/ProjectLock.h"
#include "settings/ProjectSettings.h"
#include "workspace/ProjectFolders.h"

#include <memory>
#include <string>
#include <vector>

namespace qm {

struct TWorkspacePaths {
    std::string WorkspaceDir;    // the untitled project's data folder, with a trailing separator
    std::string LastProjectFile; // names the project last opened or saved under a new name
    std::string ProgramDataDir;  // the program files copied into every project ("" when none)
};

class TProjectWorkspace {
public:
    explicit TProjectWorkspace(TWorkspacePaths paths);

    [[nodiscard]] TDocProject& Project() { return *FProject; }
    [[nodiscard]] const TDocProject& Project() const { return *FProject; }
    [[nodiscard]] TProjectSettings& Settings() { return FSettings; }
    [[nodiscard]] const TProjectSettings& Settings() const { return FSettings; }
    [[nodiscard]] const std::string& ProjectFileName() const { return FProjectFileName; }
    [[nodiscard]] const TWorkspacePaths& Paths() const { return FPaths; }
    [[nodiscard]] bool Dirty() const { return FDirty; }
    void MarkDirty() { FDirty = true; }
    void ClearDirty() { FDirty = false; }
    // The untitled project, living in the workspace folder.
    [[nodiscard]] bool IsUntitled() const;
    [[nodiscard]] std::string EditorPagePath() const;

    // When a session that ended without closing left a workspace marked in
    // use (and no running window holds it), renames it to "<workspace>-<stamp>"
    // so its work survives the next untitled project; returns the first folder
    // set aside, or "" when nothing was.
    std::string KeepCrashedWorkspaceAside(const std::string& stamp);
    // The project to open at start: the argument when it names an existing
    // ".hff" file, else the last project when that does; "" for none.
    [[nodiscard]] std::string StartProjectCandidate(const std::string& argument) const;

    // Wipes the workspace and makes a new untitled project there with one
    // top-level topic titled welcomeTitle. A workspace another window holds
    // is left alone: the next free numbered one is taken.
    void CreateUntitled(const std::string& welcomeTitle);
    // Loads the project file, its model and settings; the open project is
    // replaced only when everything loaded, so a damaged file never costs the
    // author the project they had open. A project without topics gets one
    // titled welcomeTitle. Remembers the file as the last project.
    // The open project's lock (platform::TProjectLock) is held until another
    // project replaces it: Open, CreateUntitled and MoveTo raise
    // platform::EProjectInUse when another program holds the new one.
    void Open(const std::string& fileName, const std::string& welcomeTitle);

    // project.json and meta/topics.json into the data folder.
    void SaveModel() const;
    // The model and the project file; the project must have a file name.
    void SaveProjectFile();
    // Why name cannot take the project under a new name ("" when it can):
    // not a full ".hff" path, or inside the data folder or the workspace.
    [[nodiscard]] std::string SaveAsProblem(const std::string& name) const;
    // Moves the project to the data folder beside name (a copy without the
    // build folder; the old folder stays as it was). Returns whether the data
    // folder changed. The caller writes the pages and then SaveProjectFile.
    bool MoveTo(const std::string& name);
    // Finishes a Save As: the new file name, the model and the project file,
    // the workspace released, the last-project file.
    void FinishSaveAs(const std::string& name);

    // The folder the open and save dialogs start in: the project file's, or
    // "" for an untitled project.
    [[nodiscard]] std::string DialogFolder() const;
    // A clean close: the workspace holds nothing that must survive.
    void ReleaseWorkspace();
    // Settings confirmed by the author; a non-blank title names the project.
    void UseSettings(TProjectSettings settings);

private:
    [[nodiscard]] std::string MarkerPath() const;
    void RememberLastProject(const std::string& name) const;
    // The settings of the data folder, or defaults (saved there) that carry
    // the project's title.
    [[nodiscard]] static TProjectSettings LoadSettingsFor(const std::string& root,
                                                          const std::string& title);
    // The lock of the data folder root, or nothing when the held one covers it.
    [[nodiscard]] std::unique_ptr<platform::TProjectLock> LockFor(const std::string& root) const;

    // The workspaces that may hold an untitled project: the one of the paths,
    // then numbered ones for further windows running at the same time.
    [[nodiscard]] std::vector<std::string> WorkspaceCandidates() const;
    static constexpr int kMaxWorkspaces = 9;

    TWorkspacePaths FPaths;
    std::string FWorkspaceDir; // the workspace this window holds
    std::unique_ptr<TDocProject> FProject;
    TProjectSettings FSettings;
    std::string FProjectFileName;
    bool FDirty = false;
    std::unique_ptr<platform::TProjectLock> FLock;
};

} // namespace qm
