// The "Окна" menu's arrangements that QMdiArea lacks: windows side by side ("вертикально"), one
// above the other ("горизонтально"), and the icons of minimised windows lined up along the
// bottom edge ("Упорядочить"). Tiling leaves minimised windows where they are.
#pragma once

class QMdiArea;

namespace zev7 {

// Beyond this many windows a tile becomes a grid: columns of at most this many windows when
// tiled vertically, rows when tiled horizontally.
inline constexpr int kTileLineWindows = 4;

void tileVertically(QMdiArea& area);
void tileHorizontally(QMdiArea& area);
void arrangeIcons(QMdiArea& area);

}  // namespace zev7
