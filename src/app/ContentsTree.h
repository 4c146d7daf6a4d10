#pragma once
// The contents tree: one row per topic over a model of the project, the id in
// the row's data, in-place renaming and dragging a topic before, after or
// into another.
#include "workspace/ContentsCommands.h"

#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>
#include <string>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::app {

class TContentsModel;

class TContentsTree final : public QTreeView {
    Q_OBJECT
public:
    explicit TContentsTree(QWidget* parent = nullptr);

    // Rebuilds every row from the model; ids that name no topic are skipped,
    // nodes that were expanded stay expanded.
    void Build(const TDocProject& project);
    [[nodiscard]] std::string SelectedTopicID() const;
    [[nodiscard]] static std::string IdOf(const QModelIndex& index);
    [[nodiscard]] QModelIndex IndexOf(const std::string& id) const;
    // Selects (and unfolds the way to) the row of id; false when there is none.
    bool SelectTopic(const std::string& id);
    void SelectFirst();
    void ClearSelection();
    // The topic's title changed in the project.
    void TitleChanged(const std::string& id);

    // Set by the window: may the dragged topic go onto this target?
    std::function<bool(const std::string& dragId, const std::string& targetId)> CanDrop;

signals:
    // Another row became current (or none); not emitted while the rows are rebuilt.
    void CurrentTopicChanged();
    void TopicDropped(const std::string& dragId, const std::string& targetId, qm::TDropMode mode);
    void TopicRenamed(const std::string& id, const std::string& newTitle);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool Accepts(const QPoint& pos, QModelIndex* target, TDropMode* mode) const;

    TContentsModel* FModel = nullptr;
    std::string FDragId;
    QPersistentModelIndex FDropTarget;
    TDropMode FDropMode = TDropMode::dmChild;
    bool FBuilding = false;
};

} // namespace qm::app
