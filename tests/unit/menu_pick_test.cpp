// A pick of "Exit" is real only with the pointer on its row of the menu.
#include <gtest/gtest.h>

#include <vector>

#include "lighter/command_line.h"
#include "lighter/menu_pick.h"

namespace {

// freeglut's main menu here: labels up to 110 pixels (with the submenu
// arrow), an 23-pixel font, three rows, on a 1280 by 1024 screen.
constexpr MenuMeasure kMain{110, 23, 3};
MenuBox menuAt(int x, int y) { return placeMenu(x, y, kMain, 1280, 1024); }

TEST(MenuPick, RowsAreTheFontHeightPlusTheBorderBelowTheTopBorder) {
  const MenuBox m = menuAt(420, 200);
  EXPECT_EQ(m.left, 420);
  EXPECT_EQ(m.top, 200);
  EXPECT_EQ(m.width, 118);
  EXPECT_EQ(m.rowHeight, 25);
  // "Exit", the third row: y 252 to 276, x 420 to 537.
  EXPECT_TRUE(pointerOnRow(m, 2, 420, 252));
  EXPECT_TRUE(pointerOnRow(m, 2, 537, 276));
  EXPECT_TRUE(pointerOnRow(m, 2, 480, 264));  // its centre, where a real pick points
  EXPECT_FALSE(pointerOnRow(m, 2, 480, 251));
  EXPECT_FALSE(pointerOnRow(m, 2, 480, 277));
  EXPECT_FALSE(pointerOnRow(m, 2, 419, 264));
  EXPECT_FALSE(pointerOnRow(m, 2, 538, 264));
  EXPECT_TRUE(pointerOnRow(m, 1, 480, 240));
  EXPECT_FALSE(pointerOnRow(m, 3, 480, 290));  // no such row
}

// The quirk: a click at window (cx, cy) picks "Exit" when (cx, cy), taken
// for a screen point, is on it; the pointer is then one window offset
// (320, 100) further.
TEST(MenuPick, TheQuirksClickIsOneWindowOffsetAwayFromTheRow) {
  const int windowX = 320, windowY = 100;
  const MenuBox m = menuAt(windowX + 100, windowY + 100);
  const int cx = m.left + 60, cy = m.top + 2 + 50 + 12;
  EXPECT_TRUE(pointerOnRow(m, 2, cx, cy));
  EXPECT_FALSE(pointerOnRow(m, 2, windowX + cx, windowY + cy));
}

// Near the screen's right or bottom edge freeglut opens the menu to the
// pointer's left or above it.
TEST(MenuPick, AMenuThatWouldLeaveTheScreenOpensTheOtherWay) {
  const MenuBox right = menuAt(1200, 100);
  EXPECT_EQ(right.left, 1200 - 118);
  EXPECT_EQ(right.top, 100);
  const MenuBox bottom = menuAt(100, 1000);
  EXPECT_EQ(bottom.left, 100);
  EXPECT_EQ(bottom.top, 1000 - (3 * 25 + 4));
  const MenuBox tiny = placeMenu(50, 50, kMain, 100, 60);
  EXPECT_EQ(tiny.left, 0);
  EXPECT_EQ(tiny.top, 0);
}

// Whatever points at an entry from outside (the end-to-end harness) finds
// the menu's window by its size and points at the middle of the row.
TEST(MenuPick, TheWindowsSizeAndTheRowsMiddleFollowTheMeasures) {
  EXPECT_EQ(menuWidth(kMain), 118);
  EXPECT_EQ(menuHeight(kMain), 3 * 25 + 4);
  EXPECT_EQ(menuHeight({50, 23, 5}), 5 * 25 + 4);
  const MenuBox m = menuBoxAt(420, 200, kMain);
  EXPECT_EQ(m.width, 118);
  for (int row = 0; row < 3; ++row) {
    const MenuPoint p = rowCentre(m, row);
    EXPECT_EQ(p.x, 420 + 59);
    EXPECT_EQ(p.y, 200 + 2 + 25 * row + 12);
    EXPECT_TRUE(pointerOnRow(m, row, p.x, p.y));
    // As far from the row's top as from its bottom, within a pixel.
    EXPECT_FALSE(pointerOnRow(m, row, p.x, p.y - 13));
    EXPECT_FALSE(pointerOnRow(m, row, p.x, p.y + 13));
  }
}

// The pointer is asked of the display GLUT opens the window on.
TEST(MenuPick, ThePointersDisplayIsGlutsDisplayOption) {
  const auto displayOf = [](std::vector<const char*> args) {
    args.insert(args.begin(), "lighter");
    return displayOption(parseCommandLine(static_cast<int>(args.size()), args.data()));
  };
  EXPECT_EQ(displayOf({}), "");
  EXPECT_EQ(displayOf({"-display", ":7"}), ":7");
  EXPECT_EQ(displayOf({"-sync", "-display", ":7", "dir", "-display", "host:3.0"}), "host:3.0");
  EXPECT_EQ(displayOf({"--", "-display"}), "");  // a directory named so
}

}  // namespace
