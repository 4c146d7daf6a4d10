#pragma once
// The commands on the project as a whole: start-up, new, open, save, save
// as, committing the working state before publishing and the question about
// unsaved changes. They move the project between the editing session and
// the workspace on disk; the window only wires menus and buttons to them.
#include <string>

namespace qm {

class TEditingSession;
class TProjectSettings;
class TProjectWorkspace;
class TUnsavedWorkRecovery;
class TUserPrompts;
class TWorkspaceHost;

class TProjectCommands {
public:
    TProjectCommands(TProjectWorkspace& workspace, TEditingSession& session, TUserPrompts& prompts,
                     TWorkspaceHost& host);

    // The recovery journal that saving, discarding and closing remove and
    // that opening a project offers back; none by default.
    void UseRecovery(TUnsavedWorkRecovery* recovery) { FRecovery = recovery; }

    // Opens the project named by argument (or the last one), else a new
    // untitled project; a workspace left by a crash is set aside first.
    // stamp names the set-aside folder (a date and time).
    void Start(const std::string& argument, const std::string& stamp);

    enum class TConfirm { Cancel, Proceed, ProceedDiscarding };
    // Asks about unsaved changes. Yes saves, and a save that did not happen
    // (Save As cancelled or failed) answers Cancel so no work is replaced.
    TConfirm ConfirmSaveChanges();

    void New();
    // The Open command: question, dialog, open. A cancelled dialog keeps
    // the edits, even after "No".
    void OpenCommand();
    void OpenProject(const std::string& fileName);
    // False when nothing was saved (Save As cancelled or refused).
    bool Save();
    bool SaveAs();
    // Everything but the project file, before publishing or checking links.
    void CommitWorkingState();
    // The window is closing; false keeps it open.
    bool Close();

    // The settings dialog on the open project's settings, then ApplySettings
    // when the author confirmed it.
    void EditSettings();
    // Confirmed settings: saved to the settings file (a failure is reported
    // and the values are applied all the same), shown by the window and the
    // page, an empty topic and its generated header renewed, every header
    // background file rewritten, the project modified.
    void ApplySettings(const TProjectSettings& settings);

private:
    void AfterProjectReplaced();
    // The unsaved work is saved or given up: its journal goes.
    void JournalSettled();

    TProjectWorkspace& FWorkspace;
    TEditingSession& FSession;
    TUserPrompts& FPrompts;
    TWorkspaceHost& FHost;
    TUnsavedWorkRecovery* FRecovery = nullptr;
};

} // namespace qm
