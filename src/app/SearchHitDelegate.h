#pragma once
// Draws a find-in-project hit's snippet with the matched text in bold on the
// highlight colour, so the eye finds the match in a long line at once.
#include <QStyledItemDelegate>

namespace qm::app {

class TSearchHitDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Where the match lies in the item's text, in UTF-16 units.
    static constexpr int kMatchStartRole = Qt::UserRole + 1;
    static constexpr int kMatchLengthRole = Qt::UserRole + 2;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace qm::app
