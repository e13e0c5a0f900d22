#include "lighter/menu_pick.h"

int menuWidth(const MenuMeasure& measure) { return measure.labelWidth + 4 * kMenuBorder; }

int menuHeight(const MenuMeasure& measure) {
  return measure.rows * (measure.fontHeight + kMenuBorder) + 2 * kMenuBorder;
}

MenuBox menuBoxAt(int left, int top, const MenuMeasure& measure) {
  MenuBox box;
  box.left = left;
  box.top = top;
  box.width = menuWidth(measure);
  box.rowHeight = measure.fontHeight + kMenuBorder;
  box.rows = measure.rows;
  return box;
}

MenuBox placeMenu(int x, int y, const MenuMeasure& measure, int screenWidth, int screenHeight) {
  const int width = menuWidth(measure);
  const int height = menuHeight(measure);
  int left = x + width > screenWidth ? x - width : x;
  int top = y + height > screenHeight ? y - height : y;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  return menuBoxAt(left, top, measure);
}

bool pointerOnRow(const MenuBox& menu, int row, int x, int y) {
  if (row < 0 || row >= menu.rows) return false;
  const int rowTop = menu.top + kMenuBorder + row * menu.rowHeight;
  return x >= menu.left && x < menu.left + menu.width && y >= rowTop && y < rowTop + menu.rowHeight;
}

MenuPoint rowCentre(const MenuBox& menu, int row) {
  return {menu.left + menu.width / 2,
          menu.top + kMenuBorder + row * menu.rowHeight + (menu.rowHeight - 1) / 2};
}
