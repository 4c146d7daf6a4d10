// The properties panel of the selected topic beside the editor, and the
// project's style profile chosen there.
#include "MainWindow.h"
#include "TopicPropertiesPanel.h"

#include "ContentsTree.h"
#include "FormattingToolbar.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectFolders.h"
#include "workspace/ProjectWorkspace.h"

#include <QDockWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

namespace qm::app {

void TfrmMain::BuildPropertiesDock() {
    FProperties = new TTopicPropertiesPanel;
    FPropertiesDock = new QDockWidget(this);
    FPropertiesDock->setObjectName(QStringLiteral("dockProperties"));
    FPropertiesDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                                 QDockWidget::DockWidgetFloatable);
    FPropertiesDock->setWidget(FProperties);
    addDockWidget(Qt::RightDockWidgetArea, FPropertiesDock);
    resizeDocks({FPropertiesDock}, {260}, Qt::Horizontal);
    // Hidden until asked for: the editor and its toolbar keep their width.
    FPropertiesDock->hide();
    connect(FPropertiesDock, &QDockWidget::visibilityChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { FToolbar->Arrange(); }); });
    tvToc->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tvToc, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!tvToc->indexAt(at).isValid())
            return;
        QMenu menu(this);
        menu.addAction(QString::fromStdString(Translate("Properties...")), this,
                       [this] { ShowPropertiesCommand(); });
        menu.exec(tvToc->viewport()->mapToGlobal(at));
    });
    connect(FProperties, &TTopicPropertiesPanel::ApplyRequested, this,
            [this] { Guarded([this] { ApplyTopicPropertiesCommand(); }); });
    connect(FProperties, &TTopicPropertiesPanel::StyleProfileChosen, this,
            [this](const std::string& name) { Guarded([&] { ChooseStyleProfile(name); }); });
}

void TfrmMain::ShowTopicProperties() {
    // Unapplied edits belong to the topic they were made for: they go.
    FProperties->ShowTopic(Project(), tvToc->SelectedTopicID());
    FProperties->ShowStyleProfiles(ListStyleProfiles(Project().RootPath), Project().StyleProfile);
}

void TfrmMain::ShowPropertiesCommand() {
    FPropertiesDock->show();
    FPropertiesDock->raise();
    if (auto* keywords = FProperties->findChild<QPlainTextEdit*>(QStringLiteral("memKeywords")))
        keywords->setFocus();
}

void TfrmMain::ApplyTopicPropertiesCommand() {
    const std::string id = tvToc->SelectedTopicID();
    if (TTopic* topic = id.empty() ? nullptr : Project().Topics.Find(id)) {
        StoreProperties(*topic, FProperties->Properties());
        // On disk at once, as the contents are: the modified flag stays as it is.
        FWorkspace->SaveModel();
        FProperties->ShowTopic(Project(), id);
    }
    SetStatus(Translate("Properties saved"));
}

void TfrmMain::ChooseStyleProfile(const std::string& name) {
    Project().StyleProfile = name;
    FWorkspace->SaveModel();
    SetStatus("Style set: " + name);
    FSession->ApplyEditorStylesheet();
}

} // namespace qm::app
