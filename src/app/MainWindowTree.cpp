// Contents tree commands: new, remove, move, rename and drag and drop.
#include "MainWindow.h"

#include "ContentsTree.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "model/Storage.h"
#include "workspace/ContentsCommands.h"
#include "workspace/EditingSession.h"

namespace qm::app {

void TfrmMain::BuildContentsTree() {
    tvToc->Build(Project());
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
    const std::string id = Project().AddTopic(*title, parent).ID;
    SaveProjectModel(Project());
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
    Project().DeleteTopic(id);
    SaveProjectModel(Project());
    FSession->ForgetRemovedTopics();
    {
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
        tvToc->ClearSelection();
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
        Project(), tvToc, MoveTopicUp, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::MoveDownCommand() {
    RunMoveCommand(
        Project(), tvToc, MoveTopicDown, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::MoveLevelUpCommand() {
    RunMoveCommand(
        Project(), tvToc, MoveTopicLevelUp, [this] { MarkProjectDirty(); },
        [this] { BuildContentsTree(); });
}

void TfrmMain::RenameCommand() {
    const std::string id = tvToc->SelectedTopicID();
    const TTopic* topic = id.empty() ? nullptr : Project().Topics.Find(id);
    if (topic == nullptr)
        return;
    const auto title =
        FPrompts->AskText(Translate("Rename Topic"), Translate("Title:"), topic->Title);
    if (!title)
        return;
    RenameTopic(id, *title);
}

void TfrmMain::RenameTopic(const std::string& id, const std::string& title) {
    TTopic* t = Project().Topics.Find(id);
    if (t == nullptr || t->Title == title)
        return;
    const std::string oldTitle = t->Title;
    t->Title = title;
    tvToc->TitleChanged(id);
    MarkProjectDirty();
    Guarded([&] { FSession->TopicRenamed(id, oldTitle); });
}

void TfrmMain::DropTopicCommand(const std::string& dragId, const std::string& targetId,
                                TDropMode mode) {
    if (!DropTopic(Project(), dragId, targetId, mode))
        return;
    SaveProjectModel(Project());
    {
        const QSignalBlocker block(tvToc);
        BuildContentsTree();
        tvToc->SelectTopic(dragId);
    }
}

} // namespace qm::app
