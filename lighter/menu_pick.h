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

// The box of a menu with `rows` entries whose widest label (with a
// submenu's arrow) is `labelWidth` pixels wide and whose font is
// `fontHeight` pixels high, opened with the pointer at screen point
// (x, y): its top-left corner at the pointer, moved left or up by its own
// size where it would leave a screen of the given size, never past its
// left or top edge.
MenuBox placeMenu(int x, int y, int labelWidth, int fontHeight, int rows, int screenWidth,
                  int screenHeight);

// True when the screen point (x, y) lies on entry `row` (from 0) of `menu`.
bool pointerOnRow(const MenuBox& menu, int row, int x, int y);
