#include "lighter/menu_pick.h"

MenuBox placeMenu(int x, int y, int labelWidth, int fontHeight, int rows, int screenWidth,
                  int screenHeight) {
  MenuBox box;
  box.width = labelWidth + 4 * kMenuBorder;
  box.rowHeight = fontHeight + kMenuBorder;
  box.rows = rows;
  const int height = rows * box.rowHeight + 2 * kMenuBorder;
  box.left = x + box.width > screenWidth ? x - box.width : x;
  box.top = y + height > screenHeight ? y - height : y;
  if (box.left < 0) box.left = 0;
  if (box.top < 0) box.top = 0;
  return box;
}

bool pointerOnRow(const MenuBox& menu, int row, int x, int y) {
  if (row < 0 || row >= menu.rows) return false;
  const int rowTop = menu.top + kMenuBorder + row * menu.rowHeight;
  return x >= menu.left && x < menu.left + menu.width && y >= rowTop && y < rowTop + menu.rowHeight;
}
