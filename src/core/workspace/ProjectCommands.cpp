#include "workspace/ProjectCommands.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectFolders.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/UnsavedWorkRecovery.h"
#include "workspace/UserPrompts.h"
#include "workspace/WorkspaceHost.h"

namespace qm {

TProjectCommands::TProjectCommands(TProjectWorkspace& workspace, TEditingSession& session,
                                   TUserPrompts& prompts, TWorkspaceHost& host)
    : FWorkspace(workspace), FSession(session), FPrompts(prompts), FHost(host) {}

void TProjectCommands::Start(const std::string& argument, const std::string& stamp) {
    if (FRecovery != nullptr)
        FRecovery->KeepJournalInCrashedWorkspace(FWorkspace.Paths().WorkspaceDir);
    const std::string aside = FWorkspace.KeepCrashedWorkspaceAside(stamp);
    const std::string candidate = FWorkspace.StartProjectCandidate(argument);
    bool opened = false;
    if (!candidate.empty()) {
        try {
            OpenProject(candidate);
            opened = true;
        } catch (const std::exception& e) {
            // A damaged start project is reported and left untouched; the
            // author gets an untitled project to work in.
            FPrompts.ShowError(e.what());
        }
    }
    if (!opened) {
        FSession.ForgetSession();
        FWorkspace.CreateUntitled(Translate("Welcome"));
        AfterProjectReplaced();
    }
    if (!aside.empty())
        FHost.SetStatus(
            FormatS(Translate("The unsaved project of the last session was kept in %s"), aside));
}

TProjectCommands::TConfirm TProjectCommands::ConfirmSaveChanges() {
    if (!FWorkspace.Dirty())
        return TConfirm::Proceed;
    switch (FPrompts.AskYesNoCancel(
        Translate("Project has been modified. Do you want to save changes?"))) {
    case TAnswer::Cancel:
        return TConfirm::Cancel;
    case TAnswer::No:
        return TConfirm::ProceedDiscarding;
    case TAnswer::Yes:
        break;
    }
    try {
        return Save() ? TConfirm::Proceed : TConfirm::Cancel;
    } catch (const std::exception& e) {
        FPrompts.ShowError(e.what());
        return TConfirm::Cancel;
    }
}

void TProjectCommands::AfterProjectReplaced() {
    FSession.UpdateEditorBaseHref();
    FHost.SettingsApplied();
    FSession.ApplySettingsToEditor();
    FHost.ProjectReplaced();
    FHost.ProjectStateChanged();
}

void TProjectCommands::JournalSettled() {
    if (FRecovery != nullptr)
        FRecovery->RemoveJournal();
}

void TProjectCommands::New() {
    const TConfirm c = ConfirmSaveChanges();
    if (c == TConfirm::Cancel)
        return;
    if (c == TConfirm::ProceedDiscarding)
        FSession.DiscardUnsavedChanges();
    JournalSettled();
    FSession.ForgetSession();
    FWorkspace.CreateUntitled(Translate("Welcome"));
    AfterProjectReplaced();
    if (FSession.EditorReady())
        FSession.ShowProjectEditorPage();
    FHost.SetStatus(Translate("New project created (not saved)"));
    EditSettings();
}

void TProjectCommands::OpenCommand() {
    if (ConfirmSaveChanges() == TConfirm::Cancel)
        return;
    const auto chosen = FPrompts.AskOpenProjectFile(FWorkspace.DialogFolder());
    if (!chosen)
        return;
    // The edits are dropped by the open itself, and only when it succeeds.
    OpenProject(*chosen);
}

void TProjectCommands::OpenProject(const std::string& fileName) {
    FWorkspace.Open(fileName, Translate("Welcome"));
    JournalSettled(); // the author was asked about the previous project's work
    FSession.ForgetSession();
    AfterProjectReplaced();
    // The page is the opened project's own copy; its "ready" reloads the topic.
    if (FSession.EditorReady())
        FSession.ShowProjectEditorPage();
    if (FRecovery != nullptr)
        FRecovery->OfferRestore();
}

bool TProjectCommands::Save() {
    FSession.CommitEditorState();
    FWorkspace.SaveModel();
    if (TrimCtl(FWorkspace.ProjectFileName()).empty())
        return SaveAs();
    FWorkspace.SaveProjectFile();
    FWorkspace.ClearDirty();
    JournalSettled();
    FHost.ProjectStateChanged();
    FHost.SetStatus(Translate("Saved"));
    return true;
}

bool TProjectCommands::SaveAs() {
    FSession.RequestEditorHeaderAndWait(400);
    const std::string current = FWorkspace.ProjectFileName();
    const std::string proposed = current.empty() ? std::string("Untitled.hff") : current;
    const auto chosen = FPrompts.AskSaveProjectFile(proposed);
    if (!chosen)
        return false;
    const std::string name = NormalizeProjectPath(*chosen);
    if (const std::string problem = FWorkspace.SaveAsProblem(name); !problem.empty()) {
        FPrompts.ShowError(problem);
        return false;
    }
    FSession.StashEditorHtml();
    if (FWorkspace.MoveTo(name))
        FSession.UpdateEditorBaseHref();
    FSession.FlushPendingTopicFiles(); // the pages now go into the new data folder
    FWorkspace.FinishSaveAs(name);
    JournalSettled();
    FHost.ProjectStateChanged();
    FHost.SetStatus(Translate("Saved As"));
    return true;
}

void TProjectCommands::CommitWorkingState() {
    FSession.CommitEditorState();
    FWorkspace.SaveModel();
}

bool TProjectCommands::Close() {
    const TConfirm c = ConfirmSaveChanges();
    if (c == TConfirm::Cancel)
        return false;
    if (c == TConfirm::ProceedDiscarding)
        FSession.DiscardUnsavedChanges();
    JournalSettled();
    if (FWorkspace.IsUntitled())
        FWorkspace.ReleaseWorkspace();
    return true;
}

} // namespace qm
