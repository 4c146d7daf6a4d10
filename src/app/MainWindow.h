#pragma once
// The main window: the open project, the editing session with the editor
// page, the contents tree and the project and publishing commands.
#include "UserPrompts.h"
#include "editor/EditorProtocol.h"
#include "model/DocModel.h"
#include "publish/common/PublishOptions.h"
#include "settings/ProjectSettings.h"
#include "workspace/ContentsCommands.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QToolButton;

namespace qm::app {

class TContentsTree;
class TEditorBridge;
class TEditorWebView;

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    // args: the command line after the program name (an optional project file).
    explicit TfrmMain(const QStringList& args, std::unique_ptr<TUserPrompts> prompts = {},
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- state the tests and the commands read ---
    [[nodiscard]] TDocProject& Project() { return *FProject; }
    [[nodiscard]] const TProjectSettings& Settings() const { return FSettings; }
    [[nodiscard]] const std::string& ProjectFileName() const { return FProjectFileName; }
    [[nodiscard]] bool ProjectDirty() const { return FProjectDirty; }
    [[nodiscard]] bool EditorReady() const { return FEditorReady; }
    [[nodiscard]] const std::string& CurrentTopicID() const { return FCurrentTopicID; }
    [[nodiscard]] TContentsTree* Tree() const { return tvToc; }
    [[nodiscard]] TEditorWebView* Edge() const { return FEdge; }
    [[nodiscard]] TEditorBridge* Bridge() const { return FBridge; }
    [[nodiscard]] QAction* SaveAction() const { return FSaveAction; }
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] const std::string& LastPublishedOutput() const { return FLastPublishedOutput; }
    void SetPrompts(std::unique_ptr<TUserPrompts> prompts) { FPrompts = std::move(prompts); }
    // Opening published output in the desktop's viewer; off in tests.
    void SetOpenOutputs(bool open) { FOpenOutputs = open; }

    // --- commands (menus, buttons and tests call these) ---
    void NewProjectCommand();
    void OpenProjectCommand();
    bool SaveCommand();
    bool SaveAsCommand();
    void OpenOutputFolderCommand();
    void NewTopicCommand(bool root);
    void RemoveTopicCommand();
    void MoveUpCommand();
    void MoveDownCommand();
    void MoveLevelUpCommand();
    void RenameCommand();
    void DropTopicCommand(const std::string& dragId, const std::string& targetId, TDropMode mode);
    void PublishWebHelpCommand();
    void PublishChmCommand();
    void PublishPdfCommand();
    void CheckLinksCommand();
    void AboutCommand();

    // --- the editing session ---
    void OpenProject(const std::string& fileName);
    void RequestEditorHtmlAndWait(int timeoutMs);
    void RequestEditorHeaderAndWait(int timeoutMs);
    void StashEditorHtml();
    void FlushPendingTopicFiles();
    [[nodiscard]] std::string GetCurrentTopicHtml();
    void CommitWorkingState();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // construction (MainWindow.cpp)
    void BuildLayout();
    void BuildMenus();
    QToolButton* MakeLeftButton(const QString& icon, const char* hint, std::function<void()> cmd);
    void ApplyUiCaptions();
    void SetStatus(const std::string& text);
    void MarkProjectDirty();
    void UpdateWindowCaption();
    void ApplySettingsToControls();
    void ApplySettingsToEditor();
    // Runs a command, showing any error it raises in a message box.
    template <class F> void Guarded(F&& f);
    // publishing (MainWindowPublish.cpp)
    void PublishCommand(TPublishFormat format);

    // project (MainWindowProject.cpp)
    void ChooseStartProject(const QStringList& args);
    void CreateUntitledWorkspaceProject();
    void KeepCrashedWorkspaceAside();
    void LoadSettingsForProject();
    void ForgetSession();
    void UseProject(std::unique_ptr<TDocProject> project, const std::string& fileName);
    enum class TConfirm { Cancel, Proceed, ProceedDiscarding };
    TConfirm ConfirmSaveChanges();
    void DiscardUnsavedChanges();
    [[nodiscard]] std::string EditorPagePath() const;
    [[nodiscard]] bool IsWorkspaceProject() const;

    // session (MainWindowSession.cpp)
    void HandleEditorReady();
    void HandleEditorHtmlChanged(const std::string& html);
    void HandleEditorHeaderChanged(const std::string& headerHtml, const std::string& headerBg);
    void HandleEditorAreaChanged(const std::string& area);
    void tvTocChange();
    void LoadTopicIntoEditor(const std::string& id);
    void PushHeaderToEditor();
    void LoadHeaderForCurrent(const std::string& id);
    void SaveCurrentHeader();
    void UpdateEditorBaseHref();
    void ApplyEditorStylesheet();
    void QueueEditorFocus();
    [[nodiscard]] std::string TopicFilePath(const std::string& id) const;

    // contents tree (MainWindowTree.cpp)
    void BuildContentsTree();
    void ReselectTopic(const std::string& id);
    void RenameTopic(const std::string& id, const std::string& title);

    // --- fields ---
    std::unique_ptr<TDocProject> FProject;
    TProjectSettings FSettings;
    TEditorBridge* FBridge = nullptr;
    std::unique_ptr<TUserPrompts> FPrompts;
    std::string FProjectFileName;
    bool FProjectDirty = false;

    std::string FCurrentTopicID;
    std::string FDirtyHtml;
    std::map<std::string, std::string> FUnsavedTopicHtml;
    std::map<std::string, std::string> FPendingTextFiles;
    bool FWaitingHtmlResponse = false;
    bool FWaitingHeaderResponse = false;
    bool FEditorReady = false;
    bool FPendingFocusEditor = false;
    std::string FActiveArea = "body";
    std::string FHeaderHtml;
    std::string FHeaderBg;
    std::string FLoadedTopicBaselineHtml;
    bool FIgnoreNextHeaderChanged = false;
    // After a topic is put into the page, the page's reports of the previous
    // text may still be on their way; they are dropped until the page has
    // acknowledged the new text (its non-author "htmlChanged").
    bool FAwaitingSetHtmlEcho = false;
    QElapsedTimer FSetHtmlSentAt;
    bool FOpenOutputs = true;
    std::string FLastPublishedOutput;

    // widgets (owned by Qt parents)
    TContentsTree* tvToc = nullptr;
    TEditorWebView* FEdge = nullptr;
    QLabel* FStatusLabel = nullptr;
    QAction* FSaveAction = nullptr;
    QToolButton* btnSave = nullptr;
    std::vector<std::pair<QAction*, const char*>> FMenuCaptions;
    std::vector<std::pair<QWidget*, const char*>> FHints;
};

} // namespace qm::app
