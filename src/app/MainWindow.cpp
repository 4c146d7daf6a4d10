// The main window's construction, menus, caption, status line and the
// settings it shows. The commands live in the MainWindow*.cpp files beside it.
#include "MainWindow.h"

#include "AppPaths.h"
#include "ContentsTree.h"
#include "FindBar.h"
#include "FormattingToolbar.h"
#include "Icons.h"
#include "QtTranslations.h"
#include "QuillmateVersion.h"
#include "Spelling.h"
#include "TopicPropertiesPanel.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "bridge/EditorBridge.h"
#include "bridge/EditorWebPage.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "settings/ProjectSettings.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectCommands.h"
#include "workspace/ProjectSearch.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/UnsavedWorkRecovery.h"
#include "workspace/WordCount.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDesktopServices>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace qm::app {

namespace {
const char* kWebsite = "https://quillmate.org";
const char* kSupportPage = "https://quillmate.org/support.html";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString T(const char* s) {
    return Q(Translate(s));
}

QColor ToQColor(TColor c) {
    const TColor rgb = ResolveSystemColor(c);
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}
} // namespace

void TfrmMain::Guarded(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        FPrompts->ShowError(e.what());
    }
}

TfrmMain::TfrmMain(const QStringList& args, std::unique_ptr<TUserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent),
      FPrompts(prompts ? std::move(prompts) : std::make_unique<TDialogPrompts>(this)),
      FWorkspace(std::make_unique<TProjectWorkspace>(
          TWorkspacePaths{WorkspaceDir(), LastProjectFilePath(), ProgramDataDir()})) {
    setObjectName(QStringLiteral("frmMain"));
    BuildLayout();
    FBridge = new TEditorBridge(FEdge, this);
    BuildMenus();

    TWorkspaceHost& host = *this;
    FSession = std::make_unique<TEditingSession>(*FWorkspace, *FBridge, host);
    FCommands = std::make_unique<TProjectCommands>(*FWorkspace, *FSession, *FPrompts, host);
    SetUpRecovery();
    ConnectFindBar();
    SetUpWordCount();
    connect(FBridge, &TEditorBridge::OnReady, this, [this] {
        FSpelling->SendWords();
        Guarded([this] { FSession->HandleEditorReady(); });
    });
    connect(FBridge, &TEditorBridge::OnHtmlChanged, this, [this](const std::string& html) {
        FSession->HandleEditorHtmlChanged(html, FBridge->LastHtmlChangeWasUser(),
                                          FBridge->LastHtmlWasResponse());
    });
    connect(FBridge, &TEditorBridge::OnHeaderChanged, this,
            [this](const std::string& h, const std::string& bg) {
                Guarded([&] { FSession->HandleEditorHeaderChanged(h, bg); });
            });
    connect(FBridge, &TEditorBridge::OnAreaChanged, this,
            [this](const std::string& a) { FSession->HandleEditorAreaChanged(a); });
    connect(FBridge, &TEditorBridge::OnCursorStyle, this, [this](const TEditorCursorStyle& s) {
        FSession->HandleEditorAreaChanged(s.Area);
        FToolbar->HandleEditorCursorStyle(s);
    });

    FCommands->Start(
        args.isEmpty() ? std::string() : args.front().toStdString(),
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString());
    FSession->ShowProjectEditorPage();
    ApplyUiCaptions();
}

TfrmMain::~TfrmMain() = default;

TDocProject& TfrmMain::Project() {
    return FWorkspace->Project();
}
const TProjectSettings& TfrmMain::Settings() const {
    return FWorkspace->Settings();
}
const std::string& TfrmMain::ProjectFileName() const {
    return FWorkspace->ProjectFileName();
}
bool TfrmMain::ProjectDirty() const {
    return FWorkspace->Dirty();
}
bool TfrmMain::EditorReady() const {
    return FSession->EditorReady();
}
const std::string& TfrmMain::CurrentTopicID() const {
    return FSession->CurrentTopicID();
}
std::string TfrmMain::GetCurrentTopicHtml() {
    return FSession->GetCurrentTopicHtml();
}

void TfrmMain::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

std::int64_t TfrmMain::NowMs() {
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void TfrmMain::QueueEditorFocus() {
    if (FPendingFocusEditor)
        return;
    FPendingFocusEditor = true;
    // Deferred so the click or selection that caused it is handled first.
    QTimer::singleShot(0, this, [this] {
        if (!FPendingFocusEditor)
            return;
        FPendingFocusEditor = false;
        if (FEdge != nullptr && FEdge->isVisible() && FEdge->isEnabled())
            FEdge->setFocus();
    });
}

void TfrmMain::ProjectStateChanged() {
    UpdateWindowCaption();
    ScheduleJournal();
    ScheduleWordCount();
}

void TfrmMain::ProjectReplaced() {
    FPageWords.reset(); // a count still running keeps its own
    {
        // The tree must not react to the rebuild with a topic switch.
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
        tvToc->ClearSelection();
    }
    ShowTopicProperties();
    tvToc->SelectFirst();
}

void TfrmMain::SettingsApplied() {
    ApplySettingsToControls();
}

void TfrmMain::EditorSettingsPushed() {
    FToolbar->SettingsPushed(Settings());
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FToolbar->Arrange();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FToolbar->Arrange();
}

QToolButton* TfrmMain::MakeLeftButton(const QString& icon, const char* hint,
                                      std::function<void()> cmd) {
    auto* b = new QToolButton;
    b->setObjectName(QStringLiteral("btnLeft-") + icon);
    b->setAutoRaise(true);
    b->setIcon(ThemedIcon(icon, palette()));
    b->setIconSize(QSize(22, 22));
    b->setFixedSize(36, 36);
    if (cmd)
        connect(b, &QToolButton::clicked, this, [this, cmd] { Guarded(cmd); });
    else
        b->setEnabled(false); // its command comes with its own dialog
    FHints.emplace_back(b, hint);
    return b;
}

void TfrmMain::BuildLayout() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setHandleWidth(6);
    splitter->setChildrenCollapsible(false);

    auto* pnlLeft = new QWidget;
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    pnlLeft->setAutoFillBackground(true);
    auto* leftLayout = new QVBoxLayout(pnlLeft);
    leftLayout->setContentsMargins(6, 6, 0, 0);
    leftLayout->setSpacing(6);
    auto* pnlLeftTop = new QWidget;
    auto* grid = new QGridLayout(pnlLeftTop);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(2);
    grid->addWidget(MakeLeftButton("project-new", "New Project", [this] { NewProjectCommand(); }),
                    0, 0);
    grid->addWidget(
        MakeLeftButton("project-open", "Open Project...", [this] { OpenProjectCommand(); }), 0, 1);
    btnSave = MakeLeftButton("project-save", "Save Project", [this] { SaveCommand(); });
    grid->addWidget(btnSave, 0, 2);
    grid->addWidget(MakeLeftButton("project-settings", "Project Settings...",
                                   [this] { ProjectSettingsCommand(); }),
                    0, 3);
    grid->addWidget(
        MakeLeftButton("topic-add-root", "Add Root Topic...", [this] { NewTopicCommand(true); }), 1,
        0);
    grid->addWidget(
        MakeLeftButton("topic-add-child", "Add Child Topic...", [this] { NewTopicCommand(false); }),
        1, 1);
    grid->addWidget(
        MakeLeftButton("topic-remove", "Remove Topic", [this] { RemoveTopicCommand(); }), 1, 2);
    grid->addWidget(MakeLeftButton("reusable-content", "Variables, Snippets, Conditions...",
                                   [this] { ReusableContentCommand(); }),
                    1, 3);
    grid->setColumnStretch(4, 1);
    leftLayout->addWidget(pnlLeftTop);

    tvToc = new TContentsTree;
    tvToc->setObjectName(QStringLiteral("tvToc"));
    tvToc->setFrameShape(QFrame::NoFrame);
    tvToc->CanDrop = [this](const std::string& d, const std::string& t) {
        return CanDropTopic(Project(), d, t);
    };
    connect(tvToc, &TContentsTree::CurrentTopicChanged, this, [this] {
        Guarded([this] { FSession->SelectTopic(tvToc->SelectedTopicID()); });
        ShowTopicProperties();
    });
    connect(tvToc, &TContentsTree::TopicDropped, this,
            [this](const std::string& d, const std::string& t, TDropMode m) {
                Guarded([&] { DropTopicCommand(d, t, m); });
            });
    connect(tvToc, &TContentsTree::TopicRenamed, this,
            [this](const std::string& id, const std::string& title) { RenameTopic(id, title); });
    leftLayout->addWidget(tvToc, 1);
    splitter->addWidget(pnlLeft);

    auto* pnlRight = new QWidget;
    auto* rightLayout = new QVBoxLayout(pnlRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    // The formatting toolbar: one row, or two when the window is narrow.
    for (QWidget** row : {&pnlToolbar, &pnlToolbar2}) {
        *row = new QWidget;
        (*row)->setFixedHeight(49);
        rightLayout->addWidget(*row);
    }
    pnlToolbar->setObjectName(QStringLiteral("pnlToolbar"));
    pnlToolbar2->setObjectName(QStringLiteral("pnlToolbar2"));
    pnlToolbar2->hide();
    FToolbar = new TFormattingToolbar(
        pnlToolbar, pnlToolbar2,
        {[this] { return EditorReady(); },
         [this](const std::string& cmd, const std::string& arg) { FBridge->ExecCommand(cmd, arg); },
         [this] { QueueEditorFocus(); }, [this]() -> const TProjectSettings& { return Settings(); },
         [this] { return NowMs(); }});
    FToolbar->SetIconPalette(palette());
    connect(FToolbar, &TFormattingToolbar::LinkRequested, this,
            [this] { Guarded([this] { InsertLinkCommand(); }); });
    connect(FToolbar, &TFormattingToolbar::TopicLinkRequested, this,
            [this] { Guarded([this] { InsertTopicLinkCommand(); }); });
    connect(FToolbar, &TFormattingToolbar::ImageRequested, this,
            [this](bool replace) { Guarded([this, replace] { InsertImageCommand(replace); }); });
    connect(FToolbar, &TFormattingToolbar::TableRequested, this,
            [this] { Guarded([this] { InsertTableCommand(); }); });
    connect(FToolbar, &TFormattingToolbar::TableCommandRequested, this,
            [this](const std::string& cmd) { Guarded([this, cmd] { TableMenuCommand(cmd); }); });
    connect(FToolbar, &TFormattingToolbar::ImportHtmlRequested, this,
            [this] { Guarded([this] { ImportHtmlCommand(); }); });
    rightLayout->addWidget(MakeFindBar());
    FEdge = new TEditorWebView;
    FEdge->setObjectName(QStringLiteral("Edge"));
    rightLayout->addWidget(FEdge, 1);
    splitter->addWidget(pnlRight);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 1100});
    setCentralWidget(splitter);
    BuildPropertiesDock();

    FStatusLabel = new QLabel;
    FStatusLabel->setObjectName(QStringLiteral("StatusText"));
    statusBar()->addWidget(FStatusLabel, 1);
    auto* link =
        new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(QString::fromLatin1(kWebsite),
                            QString::fromLatin1(kWebsite).remove(QStringLiteral("https://"))));
    link->setObjectName(QStringLiteral("lbHomepageURL"));
    link->setOpenExternalLinks(true);
    statusBar()->addPermanentWidget(link);
    resize(1280, 800);
}

void TfrmMain::BuildMenus() {
    auto add = [this](QMenu* menu, const char* caption, auto&& fn, const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(T(caption));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        connect(a, &QAction::triggered, this, [this, fn] { Guarded(fn); });
        FMenuCaptions.emplace_back(a, caption);
        return a;
    };
    auto menu = [this](const char* caption) {
        QMenu* m = menuBar()->addMenu(T(caption));
        FMenuCaptions.emplace_back(m->menuAction(), caption);
        return m;
    };
    QMenu* file = menu("File");
    add(
        file, "New Project", [this] { NewProjectCommand(); }, QKeySequence::New);
    file->addSeparator();
    add(
        file, "Open Project...", [this] { OpenProjectCommand(); }, QKeySequence::Open);
    file->addSeparator();
    FSaveAction = add(
        file, "Save Project", [this] { SaveCommand(); }, QKeySequence::Save);
    add(
        file, "Save Project As...", [this] { SaveAsCommand(); }, QKeySequence::SaveAs);
    file->addSeparator();
    add(
        file, "Exit", [this] { close(); }, QKeySequence::Quit);

    QMenu* topic = menu("Topic");
    add(topic, "New Root Topic...", [this] { NewTopicCommand(true); });
    add(
        topic, "New Child Topic...", [this] { NewTopicCommand(false); },
        QKeySequence(Qt::CTRL | Qt::Key_T));
    topic->addSeparator();
    add(topic, "Remove Topic", [this] { RemoveTopicCommand(); });
    topic->addSeparator();
    QMenu* move = topic->addMenu(T("Move"));
    FMenuCaptions.emplace_back(move->menuAction(), "Move");
    add(
        move, "Up", [this] { MoveUpCommand(); }, QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Up));
    add(
        move, "Down", [this] { MoveDownCommand(); },
        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Down));
    add(
        move, "Move Level Up", [this] { MoveLevelUpCommand(); },
        QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left));
    topic->addSeparator();
    add(
        topic, "Rename...", [this] { RenameCommand(); }, QKeySequence(Qt::Key_F2));
    topic->addSeparator();
    add(topic, "Properties...", [this] {
        ShowPropertiesCommand();
    })->setObjectName(QStringLiteral("TopicProperties1"));

    QMenu* edit = menu("Edit");
    const std::pair<const char*, const char*> editCmds[] = {
        {"Undo", "undo"},           {"Redo", "redo"},   {"Cut", "cut"},
        {"Copy", "copy"},           {"Paste", "paste"}, {"Delete", "delete"},
        {"Select All", "selectAll"}};
    for (const auto& [caption, cmd] : editCmds) {
        const std::string c = cmd;
        add(edit, caption, [this, c] {
            FBridge->ExecCommand(c);
            // Paste lands where the page's own paste handling puts it.
            if (c != "paste")
                QueueEditorFocus();
        });
        if (std::string(caption) == "Redo")
            edit->addSeparator();
    }
    edit->addSeparator();
    add(
        edit, "Find...", [this] { FindCommand(false); }, QKeySequence(Qt::CTRL | Qt::Key_F));
    add(
        edit, "Replace...", [this] { FindCommand(true); }, QKeySequence(Qt::CTRL | Qt::Key_H));
    add(
        edit, "Find in Project...", [this] { FindInProjectCommand(); },
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));

    QMenu* publish = menu("Publish");
    add(publish, "WebHelp", [this] { PublishWebHelpCommand(); });
    add(publish, "CHM", [this] { PublishChmCommand(); });
    add(publish, "PDF", [this] { PublishPdfCommand(); });
    publish->addSeparator();
    add(publish, "Open Output Folder", [this] { OpenOutputFolderCommand(); });

    QMenu* tools = menu("Tools");
    add(tools, "Project Settings...", [this] {
        ProjectSettingsCommand();
    })->setObjectName(QStringLiteral("ProjectSettings1"));
    add(tools, "Variables, Snippets, Conditions...", [this] {
        ReusableContentCommand();
    })->setObjectName(QStringLiteral("VariablesSnippetsConditions1"));
    tools->addSeparator();
    add(tools, "Check Links", [this] { CheckLinksCommand(); });
    FSpelling = new TSpelling(FEdge->page()->profile(), FBridge,
                              JoinPath(UserDataDir(), "Dictionary.txt"), tools, this);
    connect(FEdge, &TEditorWebView::AddToDictionaryRequested, this,
            [this](const QString& word) { Guarded([&] { FSpelling->AddWord(word); }); });
    QMenu* language = tools->addMenu(T("Language"));
    FMenuCaptions.emplace_back(language->menuAction(), "Language");
    auto* group = new QActionGroup(this);
    const auto& st = TranslationState();
    for (int i = 0; i < st.Table.LanguageCount(); ++i) {
        QAction* a = language->addAction(Q(st.Table.DisplayName(i)));
        a->setCheckable(true);
        a->setChecked(i == st.CurrentIndex);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] {
            SetCurrentLanguage(i);
            UseQtTranslations(TranslationState().CurrentCode);
            QSettings().setValue(QStringLiteral("CurrentLanguage"),
                                 Q(TranslationState().CurrentCode));
            ApplyUiCaptions();
        });
    }

    QMenu* help = menu("Help");
    add(
        help, "User's Guide", [this] { UserGuideCommand(); }, QKeySequence::HelpContents);
    help->addSeparator();
    add(help, "Contact Us",
        [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kSupportPage))); });
    add(help, "Visit Website",
        [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebsite))); });
    help->addSeparator();
    add(help, "About...", [this] { AboutCommand(); });
}

void TfrmMain::ApplyUiCaptions() {
    for (const auto& [action, caption] : FMenuCaptions)
        action->setText(T(caption));
    for (const auto& [widget, hint] : FHints)
        widget->setToolTip(T(hint));
    FToolbar->ApplyCaptions();
    FFindBar->ApplyCaptions();
    FProperties->ApplyCaptions();
    FPropertiesDock->setWindowTitle(T("Properties"));
    FSpelling->ApplyCaptions();
}

QString TfrmMain::StatusText() const {
    return FStatusLabel->text();
}

void TfrmMain::SetStatus(const std::string& text) {
    FStatusLabel->setText(Q(text));
}

void TfrmMain::MarkProjectDirty() {
    FWorkspace->MarkDirty();
    UpdateWindowCaption();
}

void TfrmMain::UpdateWindowCaption() {
    const QString app = QApplication::applicationName();
    const bool dirty = FWorkspace->Dirty();
    const QString star = dirty ? QStringLiteral("*") : QString();
    const QString title = Q(Project().Title);
    if (ProjectFileName().empty())
        setWindowTitle(QStringLiteral("%1%2 - %3").arg(app, star, title));
    else
        setWindowTitle(
            QStringLiteral("%1%2 - %3 [%4]").arg(app, star, title, Q(ProjectFileName())));
    FSaveAction->setEnabled(dirty);
    btnSave->setEnabled(dirty);
}

void TfrmMain::ApplySettingsToControls() {
    const TProjectSettings& settings = Settings();
    QFont f = tvToc->font();
    f.setPointSize(settings.TocTextSize);
    tvToc->setFont(f);
    QPalette pal = tvToc->palette();
    pal.setColor(QPalette::Text, ToQColor(settings.TocTextColor));
    pal.setColor(QPalette::Base, ToQColor(settings.DefaultPageBgColor));
    tvToc->setPalette(pal);
    if (QWidget* left = findChild<QWidget*>(QStringLiteral("pnlLeft"))) {
        QPalette lp = left->palette();
        lp.setColor(QPalette::Window, ToQColor(settings.DefaultPageBgColor));
        left->setPalette(lp);
    }
    FSpelling->SetProjectLanguage(settings.SpellingLanguage);
}

void TfrmMain::ProjectSettingsCommand() {
    FCommands->EditSettings();
}

void TfrmMain::AboutCommand() {
    const QString nl = QStringLiteral("\r\n");
    const QString text =
        QApplication::applicationName() + nl + T("Version: ") + QString::fromLatin1(kVersionShort) +
        nl + nl + T("This software is free to use under the terms of its open-source licence.") +
        nl + T("Website: ") + QString::fromLatin1(kWebsite).remove(QStringLiteral("https://")) +
        nl + nl + T("This program is protected by copyright law. ") + nl +
        T("You may use, copy and distribute it under the terms of its licence.") + nl +
        T("Modified versions must state that they have been changed.") + nl +
        T("The program is provided as is, without warranty of any kind.") + nl + nl +
        Q(FormatS(Translate("Copyright \xC2\xA9 %s The Quillmate authors."),
                  std::to_string(QDate::currentDate().year())));
    FPrompts->ShowInfo(Translate("About..."), text.toStdString());
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    bool close = false;
    Guarded([&] { close = FCommands->Close(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

} // namespace qm::app
