#pragma once
// A drop-down of named colours with an entry that opens a free colour
// choice; a chosen or preset colour that is not in the list stays in it as
// a custom entry.
#include "settings/Color.h"

#include <QComboBox>

namespace qm::app {

class TColorBox final : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* parent = nullptr);

    void SetColor(TColor color);
    [[nodiscard]] TColor Color() const;

private:
    void AddColor(const QColor& color, const QString& name);
    void ItemChosen(int index);
    int FLastIndex = 0;
};

// 0x00BBGGRR (system colours resolved) and back.
[[nodiscard]] QColor ToQColor(TColor color);
[[nodiscard]] TColor FromQColor(const QColor& color);

} // namespace qm::app
