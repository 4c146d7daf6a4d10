// Find in project: the panel below the editor, searching the session's
// unsaved texts and the saved pages, and opening a topic at its match.
#include "ContentsTree.h"
#include "FindBar.h"
#include "MainWindow.h"
#include "ProjectSearchPanel.h"
#include "i18n/Translation.h"
#include "workspace/EditingSession.h"
#include "workspace/ProjectSearch.h"
#include "workspace/ProjectWorkspace.h"

#include <QDockWidget>

namespace qm::app {

void TfrmMain::FindInProjectCommand() {
    if (FSearchDock == nullptr) {
        FProjectSearch = std::make_unique<TProjectSearch>();
        FSearchPanel = new TProjectSearchPanel([this](const std::string& query) {
            return FProjectSearch->Search(Project(), FSession->UnsavedTopicTexts(), query);
        });
        connect(FSearchPanel, &TProjectSearchPanel::TopicChosen, this,
                [this](const std::string& id, const QString& query) {
                    Guarded([&] { OpenTopicAtMatch(id, query); });
                });
        FSearchDock = new QDockWidget(QString::fromStdString(Translate("Find in Project")), this);
        FSearchDock->setObjectName(QStringLiteral("SearchDock"));
        FSearchDock->setWidget(FSearchPanel);
        addDockWidget(Qt::BottomDockWidgetArea, FSearchDock);
    }
    FSearchDock->show();
    FSearchDock->raise();
    FSearchPanel->Focus();
}

void TfrmMain::OpenTopicAtMatch(const std::string& topicId, const QString& query) {
    if (!Project().HasTopic(topicId))
        return;
    tvToc->SelectTopic(topicId);
    // The find bar highlights the match in the page and selects the first.
    FFindBar->Open(false, query);
}

} // namespace qm::app
