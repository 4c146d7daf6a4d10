// Project-level commands: start-up project, new, open, save, save as, the
// question about unsaved changes and the output folder.
#include "MainWindow.h"

#include "AppPaths.h"
#include "ContentsTree.h"
#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "bridge/EditorBridge.h"
#include "i18n/Translation.h"
#include "model/Storage.h"
#include "model/TopicHeaders.h"
#include "workspace/ProjectFolders.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <filesystem>

namespace fs = std::filesystem;

namespace qm::app {

namespace {
std::string WorkspaceMarker() {
    return WorkspaceDir() + ".in-use";
}

bool IsHffFile(const std::string& path) {
    return !path.empty() && FileExists(path) && SameTextAscii(ExtractFileExt(path), ".hff");
}

// Whether path lies inside folder (or is it), comparing normalised paths.
bool IsInside(const std::string& path, const std::string& folder) {
    const fs::path p = fs::absolute(fs::path(path)).lexically_normal();
    const fs::path f =
        fs::absolute(fs::path(ExcludeTrailingPathDelimiter(folder))).lexically_normal();
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty())
            continue;
        if (pi == p.end() || *pi != *fi)
            return false;
    }
    return true;
}
} // namespace

std::string TfrmMain::EditorPagePath() const {
    return JoinPath(FProject->RootPath, "internal/editor/editor.html");
}

bool TfrmMain::IsWorkspaceProject() const {
    return FProjectFileName.empty() && ExcludeTrailingPathDelimiter(FProject->RootPath) ==
                                           ExcludeTrailingPathDelimiter(WorkspaceDir());
}

void TfrmMain::ChooseStartProject(const QStringList& args) {
    KeepCrashedWorkspaceAside();
    std::string candidate;
    if (!args.isEmpty())
        candidate = NormalizeProjectPath(args.front().toStdString());
    if (!IsHffFile(candidate)) {
        candidate.clear();
        try {
            if (FileExists(LastProjectFilePath()))
                candidate = NormalizeProjectPath(TrimCtl(ReadTextFileUtf8(LastProjectFilePath())));
        } catch (const std::exception&) {
            candidate.clear();
        }
    }
    if (IsHffFile(candidate)) {
        try {
            OpenProject(candidate);
            return;
        } catch (const std::exception& e) {
            // A damaged start project is reported and left untouched; the
            // author gets an untitled project to work in.
            FPrompts->ShowError(e.what());
        }
    }
    CreateUntitledWorkspaceProject();
}

void TfrmMain::KeepCrashedWorkspaceAside() {
    const std::string ws = ExcludeTrailingPathDelimiter(WorkspaceDir());
    if (!FileExists(WorkspaceMarker()))
        return;
    // The last session ended without closing the window: the workspace may
    // hold the only copy of that work.
    const std::string aside =
        ws + "-" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    std::error_code ec;
    fs::rename(ws, aside, ec);
    if (!ec) {
        std::remove((aside + "/.in-use").c_str());
        SetStatus(
            FormatS(Translate("The unsaved project of the last session was kept in %s"), aside));
    }
}

void TfrmMain::ForgetSession() {
    FUnsavedTopicHtml.clear();
    FPendingTextFiles.clear();
    FDirtyHtml.clear();
    FCurrentTopicID.clear();
    FWaitingHtmlResponse = false;
    FWaitingHeaderResponse = false;
    FProjectDirty = false;
}

void TfrmMain::CreateUntitledWorkspaceProject() {
    const std::string ws = WorkspaceDir();
    std::error_code ec;
    fs::remove_all(fs::path(ExcludeTrailingPathDelimiter(ws)), ec); // a locked workspace is reused
    EnsureDir(ws);
    ForgetSession();
    FProject->Clear();
    FProject->RootPath = ws;
    FProject->Title = "Untitled Documentation";
    FProject->StyleProfile = "default";
    EnsureProjectFolders(ws);
    PrepareInternalFiles(ws, ProgramDataDir());
    WriteTextFileUtf8(WorkspaceMarker(), "");
    FSettings.SetDefaults();
    try {
        FSettings.SaveToFile(TProjectSettings::DefaultSettingsPathForProject(ws));
    } catch (const std::exception&) {
        // Settings that cannot be saved stay in memory.
    }
    ApplySettingsToControls();
    FProject->AddTopic(Translate("Welcome"), "");
    FProjectFileName.clear();
}

void TfrmMain::LoadSettingsForProject() {
    // Every project starts from the defaults, so nothing of the previous
    // project's settings leaks into one whose file lacks a member.
    FSettings.SetDefaults();
    const std::string path = TProjectSettings::DefaultSettingsPathForProject(FProject->RootPath);
    if (FileExists(path)) {
        try {
            FSettings.LoadFromFile(path);
        } catch (const std::exception&) {
            FSettings.SetDefaults();
        }
    } else {
        try {
            FSettings.SaveToFile(path);
        } catch (const std::exception&) {
        }
    }
    ApplySettingsToControls();
    ApplySettingsToEditor();
}

void TfrmMain::OpenProject(const std::string& fileName) {
    const std::string name = NormalizeProjectPath(fileName);
    const TProjectFileInfo info = ReadProjectFile(name);
    // Everything is loaded into a fresh project first; the open one is
    // replaced only when the load succeeded, so a damaged file never costs
    // the author the project they had open.
    auto fresh = std::make_unique<TDocProject>();
    const std::string root = IncludeTrailingPathDelimiter(info.Folder);
    LoadProjectModel(root, *fresh);
    fresh->RootPath = root;
    if (!info.Title.empty())
        fresh->Title = info.Title;
    EnsureProjectFolders(root);
    PrepareInternalFiles(root, ProgramDataDir());
    if (fresh->RootTopicIDs.empty()) {
        if (fresh->Title.empty()) {
            std::string base = ExtractFileName(name);
            fresh->Title = base.substr(0, base.rfind('.'));
        }
        TProjectSettings settings;
        const std::string settingsFile = TProjectSettings::DefaultSettingsPathForProject(root);
        if (FileExists(settingsFile))
            settings.LoadFromFile(settingsFile);
        TTopic& welcome = fresh->AddTopic(Translate("Welcome"), "");
        WriteTextFileUtf8(welcome.HtmlPath, DefaultTopicHtml(settings));
        SaveProjectModel(*fresh);
    }
    UseProject(std::move(fresh), name);
    try {
        WriteTextFileUtf8(LastProjectFilePath(), name);
    } catch (const std::exception&) {
    }
}

void TfrmMain::UseProject(std::unique_ptr<TDocProject> project, const std::string& fileName) {
    if (IsWorkspaceProject())
        std::remove(WorkspaceMarker().c_str());
    // The tree must not react to the rebuild with a topic switch into the
    // project being replaced.
    QSignalBlocker block(tvToc);
    ForgetSession();
    FProject = std::move(project);
    FProjectFileName = fileName;
    UpdateEditorBaseHref();
    LoadSettingsForProject();
    BuildContentsTree();
    block.unblock();
    FCurrentTopicID.clear();
    tvToc->setCurrentItem(nullptr);
    tvToc->SelectFirst();
    if (FBridge != nullptr && FEditorReady)
        FBridge->NavigateToEditor(EditorPagePath());
    UpdateWindowCaption();
}

TfrmMain::TConfirm TfrmMain::ConfirmSaveChanges() {
    if (!FProjectDirty)
        return TConfirm::Proceed;
    switch (FPrompts->AskYesNoCancel(
        Translate("Project has been modified. Do you want to save changes?"))) {
    case TAnswer::Cancel:
        return TConfirm::Cancel;
    case TAnswer::No:
        return TConfirm::ProceedDiscarding;
    case TAnswer::Yes:
        break;
    }
    // A Yes whose save did not happen (Save As cancelled or failed) must not
    // let the command go on and replace unsaved work.
    try {
        return SaveCommand() ? TConfirm::Proceed : TConfirm::Cancel;
    } catch (const std::exception& e) {
        FPrompts->ShowError(e.what());
        return TConfirm::Cancel;
    }
}

void TfrmMain::DiscardUnsavedChanges() {
    FUnsavedTopicHtml.clear();
    FPendingTextFiles.clear();
    FDirtyHtml.clear();
    FProjectDirty = false;
}

void TfrmMain::CommitWorkingState() {
    RequestEditorHeaderAndWait(400);
    StashEditorHtml();
    FlushPendingTopicFiles();
    SaveProjectModel(*FProject);
}

bool TfrmMain::SaveCommand() {
    RequestEditorHeaderAndWait(400);
    StashEditorHtml();
    FlushPendingTopicFiles();
    SaveProjectModel(*FProject);
    if (TrimCtl(FProjectFileName).empty())
        return SaveAsCommand();
    WriteProjectFile(FProjectFileName, *FProject);
    FProjectDirty = false;
    UpdateWindowCaption();
    SetStatus(Translate("Saved"));
    return true;
}

bool TfrmMain::SaveAsCommand() {
    RequestEditorHeaderAndWait(400);
    const std::string proposed =
        FProjectFileName.empty() ? std::string("Untitled.hff") : ExtractFileName(FProjectFileName);
    const auto chosen = FPrompts->AskSaveProjectFile(proposed);
    if (!chosen)
        return false;
    const std::string name = NormalizeProjectPath(*chosen);
    const bool rooted = !name.empty() && (name[0] == '/' || (name.size() > 1 && name[1] == ':'));
    if (!rooted || !SameTextAscii(ExtractFileExt(name), ".hff")) {
        FPrompts->ShowError(Translate("Invalid project filename: ") + name);
        return false;
    }
    const std::string newRoot = IncludeTrailingPathDelimiter(DefaultDataFolderFor(name));
    const std::string oldRoot = ExcludeTrailingPathDelimiter(FProject->RootPath);
    const bool sameRoot = SameTextAscii(oldRoot, ExcludeTrailingPathDelimiter(newRoot));
    // Copying a data folder into itself never ends, and a project inside the
    // workspace is deleted with the next untitled project.
    if (!sameRoot && (IsInside(name, oldRoot) || IsInside(name, WorkspaceDir()))) {
        FPrompts->ShowError(Translate("A project cannot be saved inside the current project's "
                                      "folder or the workspace: ") +
                            name);
        return false;
    }
    StashEditorHtml();
    const bool wasWorkspace = IsWorkspaceProject();
    if (!sameRoot) {
        CopyProjectFolder(oldRoot, newRoot);
        FProject->RootPath = newRoot;
        EnsureProjectFolders(newRoot);
        PrepareInternalFiles(newRoot, ProgramDataDir());
        UpdateEditorBaseHref();
    }
    FProjectFileName = name;
    FlushPendingTopicFiles();
    SaveProjectModel(*FProject);
    WriteProjectFile(name, *FProject);
    FProjectDirty = false;
    if (wasWorkspace)
        std::remove(WorkspaceMarker().c_str());
    try {
        WriteTextFileUtf8(LastProjectFilePath(), name);
    } catch (const std::exception&) {
    }
    UpdateWindowCaption();
    SetStatus(Translate("Saved As"));
    return true;
}

void TfrmMain::NewProjectCommand() {
    const TConfirm c = ConfirmSaveChanges();
    if (c == TConfirm::Cancel)
        return;
    if (c == TConfirm::ProceedDiscarding)
        DiscardUnsavedChanges();
    {
        const QSignalBlocker block(tvToc);
        CreateUntitledWorkspaceProject();
        UpdateEditorBaseHref();
        ApplySettingsToEditor();
        BuildContentsTree();
    }
    tvToc->setCurrentItem(nullptr);
    tvToc->SelectFirst();
    UpdateWindowCaption();
    SetStatus(Translate("New project created (not saved)"));
}

void TfrmMain::OpenProjectCommand() {
    const TConfirm c = ConfirmSaveChanges();
    if (c == TConfirm::Cancel)
        return;
    const auto chosen = FPrompts->AskOpenProjectFile();
    if (!chosen)
        return; // a cancelled Open keeps the edits, even after "No"
    // The edits are dropped by the open itself, and only when it succeeds.
    OpenProject(NormalizeProjectPath(*chosen));
}

void TfrmMain::OpenOutputFolderCommand() {
    const std::string build = JoinPath(FProject->RootPath, "build");
    if (DirectoryExists(build))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(build)));
}

} // namespace qm::app
