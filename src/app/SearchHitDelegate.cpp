#include "SearchHitDelegate.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace qm::app {

void TSearchHitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    const int start = index.data(kMatchStartRole).toInt();
    const int length = index.data(kMatchLengthRole).toInt();
    if (length <= 0 || start < 0 || start + length > text.size()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The style draws the row (selection, alternating colours); the text is ours.
    opt.text.clear();
    const QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(3, 0, -3, 0);
    const bool selected = opt.state.testFlag(QStyle::State_Selected);
    const QColor ink = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QFont bold = opt.font;
    bold.setBold(true);
    const QFontMetrics plainMetrics(opt.font), boldMetrics(bold);

    painter->save();
    painter->setClipRect(area);
    int x = area.left();
    const auto draw = [&](const QString& piece, const QFont& font, const QFontMetrics& fm,
                          bool mark) {
        const int room = area.right() - x;
        if (room <= 0 || piece.isEmpty())
            return;
        const QString shown = fm.elidedText(piece, Qt::ElideRight, room);
        const int width = fm.horizontalAdvance(shown);
        const QRect box(x, area.top(), width, area.height());
        if (mark && !selected)
            painter->fillRect(box.adjusted(-1, 2, 1, -2), QColor(255, 226, 122));
        painter->setFont(font);
        painter->setPen(mark && !selected ? QColor(Qt::black) : ink);
        painter->drawText(box, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
        x += width;
    };
    draw(text.left(start), opt.font, plainMetrics, false);
    draw(text.mid(start, length), bold, boldMetrics, true);
    draw(text.mid(start + length), opt.font, plainMetrics, false);
    painter->restore();
}

} // namespace qm::app
