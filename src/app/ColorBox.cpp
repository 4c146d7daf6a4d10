#include "ColorBox.h"

#include "i18n/Translation.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace qm::app {

namespace {

constexpr int kCustomRole = Qt::UserRole + 1;

struct TNamedColor {
    const char* Name;
    unsigned Rgb; // 0xRRGGBB
};

// The standard and extended colours of a classic colour box, by their names.
constexpr TNamedColor kColors[] = {
    {"Black", 0x000000}, {"Maroon", 0x800000},      {"Green", 0x008000},
    {"Olive", 0x808000}, {"Navy", 0x000080},        {"Purple", 0x800080},
    {"Teal", 0x008080},  {"Gray", 0x808080},        {"Silver", 0xC0C0C0},
    {"Red", 0xFF0000},   {"Lime", 0x00FF00},        {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},  {"Fuchsia", 0xFF00FF},     {"Aqua", 0x00FFFF},
    {"White", 0xFFFFFF}, {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xA6CAF0},
    {"Cream", 0xFFFBF0}, {"Medium Gray", 0xA0A0A4},
};

QIcon Swatch(const QColor& color) {
    QPixmap pm(16, 16);
    pm.fill(color);
    QPainter p(&pm);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 15, 15);
    return QIcon(pm);
}

} // namespace

QColor ToQColor(TColor c) {
    const TColor rgb = ResolveSystemColor(c);
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) |
           (static_cast<TColor>(c.blue()) << 16);
}

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
    for (const TNamedColor& n : kColors)
        AddColor(QColor::fromRgb(n.Rgb), QString::fromStdString(Translate(n.Name)));
    addItem(QString::fromStdString(Translate("Custom...")));
    setItemData(count() - 1, true, kCustomRole);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && !itemData(index, kCustomRole).toBool())
            FLastIndex = index;
    });
    connect(this, &QComboBox::activated, this, &TColorBox::ItemChosen);
}

void TColorBox::AddColor(const QColor& color, const QString& name) {
    // Before the "Custom..." entry once it is there.
    const int at =
        count() > 0 && itemData(count() - 1, kCustomRole).toBool() ? count() - 1 : count();
    insertItem(at, Swatch(color), name, color);
}

void TColorBox::SetColor(TColor color) {
    const QColor c = ToQColor(color);
    for (int i = 0; i < count(); ++i)
        if (itemData(i).value<QColor>() == c && !itemData(i, kCustomRole).toBool()) {
            setCurrentIndex(i);
            return;
        }
    AddColor(c, c.name(QColor::HexRgb).toUpper());
    setCurrentIndex(count() - 2);
}

TColor TColorBox::Color() const {
    return FromQColor(itemData(FLastIndex).value<QColor>());
}

void TColorBox::ItemChosen(int index) {
    if (!itemData(index, kCustomRole).toBool())
        return;
    const QColor chosen = QColorDialog::getColor(itemData(FLastIndex).value<QColor>(), this);
    if (chosen.isValid())
        SetColor(FromQColor(chosen));
    else
        setCurrentIndex(FLastIndex);
}

} // namespace qm::app
