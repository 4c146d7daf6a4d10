#pragma once
// The main window: the widgets, the menus and their wiring. The open project
// and its files (TProjectWorkspace), the editing session with the editor page
// (TEditingSession) and the project commands (TProjectCommands) are
// toolkit-free classes the window owns; it serves them as their host.
#include "UserPrompts.h"
#include "publish/common/PublishOptions.h"
#include "workspace/ContentsCommands.h"
#include "workspace/WorkspaceHost.h"

#include <QFutureWatcher>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDockWidget;
class QLabel;
class QTimer;
class QToolButton;

namespace qm {
class TDocProject;
class TPageWordCache;
class TProjectSearch;
class TEditingSession;
class TProjectCommands;
class TProjectSettings;
class TProjectWorkspace;
class TUnsavedWorkRecovery;
} // namespace qm

namespace qm::app {

class TContentsTree;
class TFindBar;
class TProjectSearchPanel;
class TEditorBridge;
class TFormattingToolbar;
class TTopicPropertiesPanel;
class TEditorWebView;
class TSpelling;

class TfrmMain final : public QMainWindow, private TWorkspaceHost {
    Q_OBJECT
public:
    // args: the command line after the program name (an optional project file).
    explicit TfrmMain(const QStringList& args, std::unique_ptr<TUserPrompts> prompts = {},
                      QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- state the tests and the commands read ---
    [[nodiscard]] TDocProject& Project();
    [[nodiscard]] const TProjectSettings& Settings() const;
    [[nodiscard]] const std::string& ProjectFileName() const;
    [[nodiscard]] bool ProjectDirty() const;
    [[nodiscard]] bool EditorReady() const;
    [[nodiscard]] const std::string& CurrentTopicID() const;
    [[nodiscard]] TContentsTree* Tree() const { return tvToc; }
    [[nodiscard]] TEditorWebView* Edge() const { return FEdge; }
    [[nodiscard]] TEditorBridge* Bridge() const { return FBridge; }
    [[nodiscard]] QAction* SaveAction() const { return FSaveAction; }
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] const std::string& LastPublishedOutput() const { return FLastPublishedOutput; }
    [[nodiscard]] TUnsavedWorkRecovery& Recovery() const { return *FRecovery; }
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
    void UserGuideCommand();
    void ProjectSettingsCommand();
    // the properties panel beside the editor (MainWindowProperties.cpp)
    void ShowPropertiesCommand();
    void ApplyTopicPropertiesCommand();
    void ChooseStyleProfile(const std::string& name);
    [[nodiscard]] TTopicPropertiesPanel* PropertiesPanel() const { return FProperties; }
    // (MainWindowReusable.cpp) variables, snippets and conditions; tokens at the caret
    void ReusableContentCommand();

    void OpenProject(const std::string& fileName);
    [[nodiscard]] std::string GetCurrentTopicHtml();
    void CommitWorkingState();

    // inserting (MainWindowInsert.cpp): links, images, tables and HTML at the caret
    void InsertLinkCommand();
    void InsertTopicLinkCommand();
    void InsertImageCommand(bool replace);
    void InsertTableCommand();
    void TableMenuCommand(const std::string& cmd);
    void ImportHtmlCommand();
    [[nodiscard]] TFormattingToolbar* Toolbar() const { return FToolbar; }

    // finding in the open topic (MainWindowFind.cpp): the bar above the editor
    void FindCommand(bool replace);
    [[nodiscard]] TFindBar* FindBar() const { return FFindBar; }
    [[nodiscard]] QString WordCountText() const;
    // find in project (MainWindowSearch.cpp): a panel listing the matching topics
    void FindInProjectCommand();
    [[nodiscard]] TProjectSearchPanel* ProjectSearch() const { return FSearchPanel; }
    void OpenTopicAtMatch(const std::string& topicId, const QString& query);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // TWorkspaceHost
    void WaitFor(const std::function<bool()>& done, int timeoutMs) override;
    [[nodiscard]] std::int64_t NowMs() override;
    void SetStatus(const std::string& text) override;
    void QueueEditorFocus() override;
    void ProjectStateChanged() override;
    void ProjectReplaced() override;
    void SettingsApplied() override;
    void EditorSettingsPushed() override;

    // construction (MainWindow.cpp)
    void BuildLayout();
    void BuildMenus();
    QToolButton* MakeLeftButton(const QString& icon, const char* hint, std::function<void()> cmd);
    void ApplyUiCaptions();
    void MarkProjectDirty();
    void UpdateWindowCaption();
    void ApplySettingsToControls();
    // Runs a command, showing any error it raises in a message box.
    void Guarded(const std::function<void()>& f);
    // publishing (MainWindowPublish.cpp): commit, publish with progress, report
    void PublishCommand(TPublishFormat format);

    [[nodiscard]] TFindBar* MakeFindBar();
    void ConnectFindBar();

    // word counts in the status line (MainWindowWordCount.cpp)
    void SetUpWordCount();
    void ScheduleWordCount();
    void CountProjectWordsNow();
    void ShowWordCount();

    // the recovery journal of unsaved work (MainWindowRecovery.cpp)
    void SetUpRecovery();
    void ScheduleJournal();
    void WriteJournal();

    // contents tree (MainWindowTree.cpp)
    void BuildContentsTree();
    void ReselectTopic(const std::string& id);
    void RenameTopic(const std::string& id, const std::string& title);
    void BuildPropertiesDock();
    void ShowTopicProperties();

    // --- fields ---
    std::unique_ptr<TUserPrompts> FPrompts;
    std::unique_ptr<TProjectWorkspace> FWorkspace;
    TEditorBridge* FBridge = nullptr;
    TSpelling* FSpelling = nullptr;
    std::unique_ptr<TEditingSession> FSession;
    std::unique_ptr<TProjectCommands> FCommands;
    std::unique_ptr<TUnsavedWorkRecovery> FRecovery;
    QTimer* FJournalTimer = nullptr;
    bool FPendingFocusEditor = false;
    bool FOpenOutputs = true;
    std::string FLastPublishedOutput;

    // widgets (owned by Qt parents)
    TContentsTree* tvToc = nullptr;
    QWidget* pnlToolbar = nullptr;
    QWidget* pnlToolbar2 = nullptr;
    TFormattingToolbar* FToolbar = nullptr;
    TEditorWebView* FEdge = nullptr;
    TFindBar* FFindBar = nullptr;
    QLabel* FWordsLabel = nullptr;
    QTimer* FTopicWordsTimer = nullptr;
    QTimer* FProjectWordsTimer = nullptr;
    QFutureWatcher<size_t>* FProjectWordsWatcher = nullptr;
    std::string FLastPageHtml;
    size_t FTopicWords = 0;
    size_t FProjectWords = static_cast<size_t>(-1);
    bool FProjectWordsAgain = false;
    // Shared with the counting thread; one count runs at a time.
    std::shared_ptr<TPageWordCache> FPageWords;
    TProjectSearchPanel* FSearchPanel = nullptr;
    QDockWidget* FSearchDock = nullptr;
    std::unique_ptr<TProjectSearch> FProjectSearch;
    QLabel* FStatusLabel = nullptr;
    TTopicPropertiesPanel* FProperties = nullptr;
    QDockWidget* FPropertiesDock = nullptr;
    QAction* FSaveAction = nullptr;
    QToolButton* btnSave = nullptr;
    std::vector<std::pair<QAction*, const char*>> FMenuCaptions;
    std::vector<std::pair<QWidget*, const char*>> FHints;
};

} // namespace qm::app
