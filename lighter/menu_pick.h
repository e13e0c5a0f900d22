// Whether a pick of a menu entry was made with the pointer on that entry.
// freeglut 3.4 tests a left click that closes a menu against the menu with
// the click's window coordinates taken for screen coordinates, so a click
// one window offset away from an entry picks it. The callbacks refuse such a
// pick of "Exit" by asking where the pointer really is. Plain arithmetic over
// freeglut's menu layout, no GLUT.
#pragma once

// A menu as freeglut lays it out, in screen pixels.
struct MenuBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int rowHeight = 0;
  int rows = 0;
};

// The border freeglut keeps around a menu's rows and between its sides and
// the labels.
inline constexpr int kMenuBorder = 2;

// What freeglut sizes a menu by: its number of rows, its widest label
// (with a submenu's arrow) and its font's height, in pixels.
struct MenuMeasure {
  int labelWidth = 0;
  int fontHeight = 0;
  int rows = 0;
};

// The size of the menu's window as freeglut makes it.
int menuWidth(const MenuMeasure& measure);
int menuHeight(const MenuMeasure& measure);

// The box of the menu whose window's top-left corner is at screen point
// (left, top).
MenuBox menuBoxAt(int left, int top, const MenuMeasure& measure);

// The box of the menu opened with the pointer at screen point (x, y): its
// top-left corner at the pointer, moved left or up by its own size where it
// would leave a screen of the given size, never past its left or top edge.
MenuBox placeMenu(int x, int y, const MenuMeasure& measure, int screenWidth, int screenHeight);

// True when the screen point (x, y) lies on entry `row` (from 0) of `menu`.
bool pointerOnRow(const MenuBox& menu, int row, int x, int y);

// The screen point in the middle of entry `row` of `menu`: where a user
// points to pick it.
struct MenuPoint {
  int x = 0;
  int y = 0;
};
MenuPoint rowCentre(const MenuBox& menu, int row);
