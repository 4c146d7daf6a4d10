#include "ContentsTree.h"

#include "ContentsModel.h"

#include <QDragMoveEvent>
#include <QPainter>

namespace qm::app {

TContentsTree::TContentsTree(QWidget* parent)
    : QTreeView(parent), FModel(new TContentsModel(this)) {
    setModel(FModel);
    setHeaderHidden(true);
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
    setStyleSheet(QStringLiteral("QTreeView::item { padding: 3px 2px; }"));
    connect(FModel, &TContentsModel::TitleEdited, this,
            [this](const std::string& id, const std::string& title) {
                if (!FBuilding)
                    emit TopicRenamed(id, title);
            });
}

void TContentsTree::Build(const TDocProject& project) {
    FBuilding = true;
    const QSignalBlocker block(this);
    // A rebuild after add, move or rename must not fold up the parts of a
    // long contents the author had open: the reset forgets them, their ids
    // bring them back. Nodes inside a folded one count too.
    std::vector<std::string> expanded;
    std::vector<QModelIndex> todo{QModelIndex()};
    while (!todo.empty()) {
        const QModelIndex parent = todo.back();
        todo.pop_back();
        for (int row = 0, rows = FModel->rowCount(parent); row < rows; ++row) {
            const QModelIndex child = FModel->index(row, 0, parent);
            if (FModel->rowCount(child) == 0)
                continue;
            if (isExpanded(child))
                expanded.push_back(IdOf(child));
            todo.push_back(child);
        }
    }
    FModel->Rebuild(project);
    for (const std::string& id : expanded) {
        const QModelIndex index = FModel->IndexOf(id);
        if (index.isValid())
            setExpanded(index, true);
    }
    FBuilding = false;
}

std::string TContentsTree::IdOf(const QModelIndex& index) {
    return TContentsModel::IdOf(index);
}

QModelIndex TContentsTree::IndexOf(const std::string& id) const {
    return FModel->IndexOf(id);
}

std::string TContentsTree::SelectedTopicID() const {
    return IdOf(currentIndex());
}

bool TContentsTree::SelectTopic(const std::string& id) {
    const QModelIndex index = FModel->IndexOf(id);
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        setExpanded(up, true);
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

void TContentsTree::SelectFirst() {
    const QModelIndex first = FModel->index(0, 0);
    if (first.isValid())
        setCurrentIndex(first);
}

void TContentsTree::ClearSelection() {
    selectionModel()->clear();
}

void TContentsTree::TitleChanged(const std::string& id) {
    FModel->TitleChanged(id);
}

void TContentsTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (!FBuilding)
        emit CurrentTopicChanged();
}

void TContentsTree::startDrag(Qt::DropActions supportedActions) {
    FDragId = SelectedTopicID();
    QTreeView::startDrag(supportedActions);
    FDragId.clear();
    FDropTarget = QPersistentModelIndex();
    viewport()->update();
}

bool TContentsTree::Accepts(const QPoint& pos, QModelIndex* target, TDropMode* mode) const {
    const QModelIndex item = indexAt(pos);
    const std::string targetId = IdOf(item);
    if (FDragId.empty() || !item.isValid() || targetId.empty() || targetId == FDragId ||
        (CanDrop && !CanDrop(FDragId, targetId)))
        return false;
    const QRect r = visualRect(item);
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
    QModelIndex target;
    TDropMode mode{};
    if (event->source() == this && Accepts(event->position().toPoint(), &target, &mode)) {
        FDropTarget = target;
        FDropMode = mode;
        event->acceptProposedAction();
    } else {
        FDropTarget = QPersistentModelIndex();
        event->ignore();
    }
    viewport()->update();
}

void TContentsTree::dragLeaveEvent(QDragLeaveEvent* event) {
    FDropTarget = QPersistentModelIndex();
    viewport()->update();
    QTreeView::dragLeaveEvent(event);
}

void TContentsTree::dropEvent(QDropEvent* event) {
    QModelIndex target;
    TDropMode mode{};
    const bool ok = event->source() == this && Accepts(event->position().toPoint(), &target, &mode);
    const std::string dragId = FDragId;
    const std::string targetId = IdOf(target);
    FDropTarget = QPersistentModelIndex();
    // The project's model does the move and the rows are rebuilt from it, so
    // Qt's own row move must not happen.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (ok)
        emit TopicDropped(dragId, targetId, mode);
}

void TContentsTree::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!FDropTarget.isValid())
        return;
    QPainter painter(viewport());
    const QRect r = visualRect(FDropTarget);
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
