#pragma once
// The contents tree: one node per topic, the id in the node's data, in-place
// renaming and dragging a topic before, after or into another.
#include "workspace/ContentsCommands.h"

#include <QTreeWidget>

#include <functional>
#include <string>

namespace qm {
class TDocProject;
}

namespace qm::app {

class TContentsTree final : public QTreeWidget {
    Q_OBJECT
public:
    explicit TContentsTree(QWidget* parent = nullptr);

    // Rebuilds every node from the model; ids that name no topic are skipped,
    // nodes that were expanded stay expanded.
    void Build(const TDocProject& project);
    [[nodiscard]] std::string SelectedTopicID() const;
    [[nodiscard]] static std::string IdOf(const QTreeWidgetItem* item);
    // Selects (and unfolds the way to) the first node carrying id; false when none does.
    bool SelectTopic(const std::string& id);
    void SelectFirst();

    // Set by the window: may the dragged topic go onto this target?
    std::function<bool(const std::string& dragId, const std::string& targetId)> CanDrop;

signals:
    void TopicDropped(const std::string& dragId, const std::string& targetId, qm::TDropMode mode);
    void TopicRenamed(const std::string& id, const std::string& newTitle);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool Accepts(const QPoint& pos, QTreeWidgetItem** target, TDropMode* mode) const;

    std::string FDragId;
    QTreeWidgetItem* FDropTarget = nullptr;
    TDropMode FDropMode = TDropMode::dmChild;
    bool FBuilding = false;
};

} // namespace qm::app
