#include "ContentsTree.h"

#include "model/ContentsWalk.h"
#include "model/DocModel.h"

#include <QDragMoveEvent>
#include <QPainter>
#include <QTreeWidgetItemIterator>

#include <unordered_set>

namespace qm::app {

namespace {
constexpr int kIdRole = Qt::UserRole + 1;

QTreeWidgetItem* MakeNode(const TTopic& t, QTreeWidgetItem* parent, QTreeWidget* tree) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, QString::fromStdString(t.Title));
    item->setData(0, kIdRole, QString::fromStdString(t.ID));
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                   Qt::ItemIsDropEnabled);
    return item;
}
} // namespace

TContentsTree::TContentsTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::InternalMove);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setAnimated(true);
    setIndentation(16);
    // Rows with some air read more easily in a long manual's contents.
    setStyleSheet(QStringLiteral("QTreeWidget::item { padding: 3px 2px; }"));
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (FBuilding)
            return;
        const std::string id = IdOf(item);
        if (!id.empty())
            emit TopicRenamed(id, item->text(0).toStdString());
    });
}

void TContentsTree::Build(const TDocProject& project) {
    FBuilding = true;
    setUpdatesEnabled(false);
    const QSignalBlocker block(this);
    // A rebuild after add, move or rename must not fold up the parts of a
    // long contents the author had open.
    std::unordered_set<std::string> expanded;
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it)
        if ((*it)->isExpanded())
            expanded.insert(IdOf(*it));
    clear();
    // The node last made at each depth: the parent of the next one deeper.
    std::vector<QTreeWidgetItem*> lastAt;
    for (const TContentsEntry& e : WalkContents(project).Entries) {
        const auto depth = static_cast<size_t>(e.Depth);
        lastAt.resize(depth + 1);
        lastAt[depth] = MakeNode(*e.Topic, depth == 0 ? nullptr : lastAt[depth - 1], this);
    }
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it)
        if (expanded.count(IdOf(*it)) != 0)
            (*it)->setExpanded(true);
    setUpdatesEnabled(true);
    FBuilding = false;
}

std::string TContentsTree::IdOf(const QTreeWidgetItem* item) {
    return item == nullptr ? std::string() : item->data(0, kIdRole).toString().toStdString();
}

std::string TContentsTree::SelectedTopicID() const {
    return IdOf(currentItem());
}

bool TContentsTree::SelectTopic(const std::string& id) {
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        if (IdOf(*it) == id) {
            for (QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent())
                up->setExpanded(true);
            setCurrentItem(*it);
            scrollToItem(*it);
            return true;
        }
    }
    return false;
}

void TContentsTree::SelectFirst() {
    if (topLevelItemCount() > 0)
        setCurrentItem(topLevelItem(0));
}

void TContentsTree::startDrag(Qt::DropActions supportedActions) {
    FDragId = SelectedTopicID();
    QTreeWidget::startDrag(supportedActions);
    FDragId.clear();
    FDropTarget = nullptr;
    viewport()->update();
}

bool TContentsTree::Accepts(const QPoint& pos, QTreeWidgetItem** target, TDropMode* mode) const {
    QTreeWidgetItem* item = itemAt(pos);
    const std::string targetId = IdOf(item);
    if (FDragId.empty() || item == nullptr || targetId.empty() || targetId == FDragId ||
        (CanDrop && !CanDrop(FDragId, targetId)))
        return false;
    const QRect r = visualItemRect(item);
    *target = item;
    *mode = DropModeForOffset(pos.y() - r.top(), r.height());
    return true;
}

void TContentsTree::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this && !FDragId.empty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TContentsTree::dragMoveEvent(QDragMoveEvent* event) {
    QTreeWidgetItem* target = nullptr;
    TDropMode mode{};
    if (event->source() == this && Accepts(event->position().toPoint(), &target, &mode)) {
        FDropTarget = target;
        FDropMode = mode;
        event->acceptProposedAction();
    } else {
        FDropTarget = nullptr;
        event->ignore();
    }
    viewport()->update();
}

void TContentsTree::dragLeaveEvent(QDragLeaveEvent* event) {
    FDropTarget = nullptr;
    viewport()->update();
    QTreeWidget::dragLeaveEvent(event);
}

void TContentsTree::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* target = nullptr;
    TDropMode mode{};
    const bool ok = event->source() == this && Accepts(event->position().toPoint(), &target, &mode);
    const std::string dragId = FDragId;
    FDropTarget = nullptr;
    // The model does the move; the tree is rebuilt from it, so Qt's own item
    // move must not happen.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (ok)
        emit TopicDropped(dragId, IdOf(target), mode);
}

void TContentsTree::paintEvent(QPaintEvent* event) {
    QTreeWidget::paintEvent(event);
    if (FDropTarget == nullptr)
        return;
    QPainter painter(viewport());
    const QRect r = visualItemRect(FDropTarget);
    const QColor accent = palette().color(QPalette::Highlight);
    painter.setPen(QPen(accent, 2));
    switch (FDropMode) {
    case TDropMode::dmBefore:
        painter.drawLine(r.left(), r.top() + 1, r.right(), r.top() + 1);
        break;
    case TDropMode::dmAfter:
        painter.drawLine(r.left(), r.bottom() - 1, r.right(), r.bottom() - 1);
        break;
    case TDropMode::dmChild:
        painter.drawRoundedRect(r.adjusted(1, 1, -1, -1), 3, 3);
        break;
    }
}

} // namespace qm::app
