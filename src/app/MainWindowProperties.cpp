// The properties panel of the selected topic beside the editor, and the
// project's style profile chosen there.
#include "MainWindow.h"
#include "TopicPropertiesPanel.h"

#include "ContentsTree.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectFolders.h"
#include "workspace/ProjectWorkspace.h"

#include <QDockWidget>
#include <QPlainTextEdit>

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
