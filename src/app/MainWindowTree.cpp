// Contents tree commands: new, remove, move, rename and drag and drop.
#include "MainWindow.h"

#include "ContentsTree.h"
#include "i18n/Translation.h"
#include "model/Storage.h"
#include "workspace/ContentsCommands.h"

namespace qm::app {

void TfrmMain::BuildContentsTree() {
    tvToc->Build(*FProject);
}

void TfrmMain::ReselectTopic(const std::string& id) {
    if (!tvToc->SelectTopic(id))
        tvToc->SelectFirst();
}

void TfrmMain::NewTopicCommand(bool root) {
    const std::string parent = root ? std::string() : tvToc->SelectedTopicID();
    const auto title =
        FPrompts->AskText(Translate("New Topic"), Translate("Title:"), Translate("New Topic"));
    if (!title)
        return;
    const std::string id = FProject->AddTopic(*title, parent).ID;
    SaveProjectModel(*FProject);
    {
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
    }
    // Selecting the node switches the session to the new topic, which writes
    // its page with the default body.
    ReselectTopic(id);
    MarkProjectDirty();
}

void TfrmMain::RemoveTopicCommand() {
    const std::string id = tvToc->SelectedTopicID();
    if (id.empty())
        return;
    if (!FPrompts->AskYesNo(Translate("Delete this topic and its subtopics?")))
        return;
    FProject->DeleteTopic(id);
    SaveProjectModel(*FProject);
    // The deleted topics' unsaved text must not be written back later.
    for (auto it = FUnsavedTopicHtml.begin(); it != FUnsavedTopicHtml.end();)
        it = FProject->HasTopic(it->first) ? std::next(it) : FUnsavedTopicHtml.erase(it);
    {
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
        FCurrentTopicID.clear();
        FDirtyHtml.clear();
        tvToc->setCurrentItem(nullptr);
    }
    tvToc->SelectFirst();
}

namespace {
using TMove = bool (*)(TDocProject&, const std::string&);
} // namespace

// Up, down and one level up share their bookkeeping: the model is written at
// once and the same topic stays selected without a session switch.
static void RunMoveCommand(TDocProject& project, TContentsTree* tree, TMove move,
                           const std::function<void()>& markDirty,
                           const std::function<void()>& rebuild) {
    const std::string id = tree->SelectedTopicID();
    if (id.empty() || !project.HasTopic(id) || !move(project, id))
        return;
    markDirty();
    SaveProjectModel(project);
    const QSignalBlocker block(tree);
    rebuild();
    tree->SelectTopic(id);
}

void TfrmMain::MoveUpCommand() {
    RunMoveCommand(
        *FProject, tvToc, MoveTopicUp, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::MoveDownCommand() {
    RunMoveCommand(
        *FProject, tvToc, MoveTopicDown, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::MoveLevelUpCommand() {
    RunMoveCommand(
        *FProject, tvToc, MoveTopicLevelUp, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::RenameCommand() {
    QTreeWidgetItem* item = tvToc->currentItem();
    if (item == nullptr)
        return;
    const auto title = FPrompts->AskText(Translate("Rename Topic"), Translate("Title:"),
                                         item->text(0).toStdString());
    if (!title)
        return;
    {
        const QSignalBlocker block(tvToc);
        item->setText(0, QString::fromStdString(*title));
    }
    RenameTopic(TContentsTree::IdOf(item), *title);
}

void TfrmMain::RenameTopic(const std::string& id, const std::string& title) {
    TTopic* t = FProject->Topics.Find(id);
    if (t == nullptr)
        return;
    t->Title = title;
    MarkProjectDirty();
}

void TfrmMain::DropTopicCommand(const std::string& dragId, const std::string& targetId,
                                TDropMode mode) {
    if (!DropTopic(*FProject, dragId, targetId, mode))
        return;
    SaveProjectModel(*FProject);
    {
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
        tvToc->SelectTopic(dragId);
    }
}

} // namespace qm::app
