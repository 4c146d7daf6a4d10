#pragma once
// The program's own icons (resources/icons): drawn in one foreground colour
// that is replaced by the palette's text colour, so they suit light and dark
// desktops, and rendered for every size and screen density they are shown at.
#include <QIcon>

class QPalette;

namespace qm::app {

[[nodiscard]] QIcon ThemedIcon(const QString& name, const QPalette& palette);

} // namespace qm::app
