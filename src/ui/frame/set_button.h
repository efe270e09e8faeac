// "Установить" of a settings panel: yellow text while the shown values differ from the stored
// ones, green once they are stored. The port window's pages, the cycle settings and the series
// settings all colour their button this way.
#pragma once

#include <QColor>

class QPushButton;

namespace zev7 {

inline const QColor kSetButtonUnsetColour{255, 255, 0};
inline const QColor kSetButtonSetColour{0, 128, 0};

void colourSetButton(QPushButton* button, bool changed);

}  // namespace zev7
