// Keys, clicks in a resized window and the guard on "Exit", on the real
// program.
#include <gtest/gtest.h>

#include <string>

#include "lighter/interaction.h"
#include "tests/e2e/harness.h"
#include "view/view_model.h"

namespace {

using e2e::Lighter;
using e2e::Screenshot;

constexpr int kDim = 30;  // r+g+b above this counts as lit

// The middle of the click rectangle as the picture puts it at this size, in
// window coordinates counted from the top.
struct Point {
  int x, y;
};
Point bodyMiddle(int width, int height) {
  const view::PixelRect r = view::clickAreaFor(width, height);
  return {(r.left + r.right) / 2, height - 1 - (r.bottom + r.top) / 2};
}

std::string clickLine(Point p, int height) {
  return "mouse clicked at " + std::to_string(p.x) + " " + std::to_string(height - 1 - p.y) + "\n";
}

// After a resize, a click beside the body does nothing and one on its middle
// throws sparks.
TEST(ResizedWindow, AClickOnTheBodysMiddleCountsAndOneBesideItDoesNot) {
  for (const auto& [width, height] : {std::pair{1200, 600}, {800, 900}}) {
    Lighter lighter;
    ASSERT_TRUE(lighter.waitForWindow());
    ASSERT_TRUE(lighter.resize(width, height));
    const Point middle = bodyMiddle(width, height);
    const Point beside{view::clickAreaFor(width, height).left - 20, middle.y};
    lighter.click(beside.x, beside.y);
    ASSERT_TRUE(lighter.waitForOutput(clickLine(beside, height)));
    lighter.click(middle.x, middle.y);
    ASSERT_TRUE(lighter.waitForOutput(clickLine(middle, height)));
    ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
    const std::string out = lighter.output();
    EXPECT_EQ(out.substr(out.find("mouse clicked")),
              clickLine(beside, height) + clickLine(middle, height) + "spark!!\n");
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
  }
}

// Maximised (1280 by 1000): three clicks on the middle light the flame,
// which stands above the window's centre.
TEST(ResizedWindow, InAMaximisedWindowClicksOnTheMiddleLightTheFlame) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.resize(1280, 1000));
  const auto flameArea = [](const Screenshot& s) {
    return s.countBrighter(590, 300, 690, 490, kDim);
  };
  const int before = flameArea(lighter.screenshot());
  const Point middle = bodyMiddle(1280, 1000);
  for (int n = 0; n < 3; ++n) {
    lighter.click(middle.x + n, middle.y);
    ASSERT_TRUE(lighter.waitForOutput(clickLine({middle.x + n, middle.y}, 1000)));
    ASSERT_TRUE(lighter.waitForTimers(e2e::kShortFlame));
  }
  const std::string out = lighter.output();
  const auto line = [&](int n) { return clickLine({middle.x + n, middle.y}, 1000); };
  EXPECT_EQ(out.substr(out.find("mouse clicked")),
            line(0) + "spark!!\n" + line(1) + "spark!!\n" + line(2));  // then the flame
  EXPECT_TRUE(lighter.waitForFrames(3));
  const int after = flameArea(lighter.screenshot());
  EXPECT_GT(after, before + 500) << before << " " << after;
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// Space turns the flint wheel (only the spark is printed, no click); Q ends
// the program with status 0, and so does Escape.
TEST(Keys, SpaceThrowsSparksAndQOrEscapeExit) {
  for (const char* exitKey : {"q", "Escape"}) {
    Lighter lighter;
    ASSERT_TRUE(lighter.waitForWindow());
    lighter.key("space");
    ASSERT_TRUE(lighter.waitForOutput("spark!!\n"));
    lighter.key("w");
    lighter.key("c");
    lighter.key(exitKey);
    EXPECT_EQ(lighter.waitForExit(), 0) << exitKey;
    const std::string out = lighter.output();
    EXPECT_EQ(out.find("mouse clicked"), std::string::npos);
    EXPECT_EQ(out.substr(out.find("spark!!")), "spark!!\n");
  }
}

// freeglut takes a click that closes the menu, at window point (x, y), for a
// click at screen point (x, y): one where "Exit" is on the screen picked it.
// The pointer is one window offset away from the menu, so the pick is
// refused and said; a real pick of "Exit" still ends the program.
TEST(ExitGuard, TheQuirksClickOnExitIsRefusedAndARealPickStillExits) {
  Lighter lighter({}, {"", /*captureErrors=*/true});
  ASSERT_TRUE(lighter.waitForWindow());
  const auto window = lighter.geometry();
  const auto menu = lighter.openMenu(50, 50);
  ASSERT_TRUE(menu.has_value());
  // "Exit", as a screen point.
  const e2e::Point exitRow = lighter.entryPoint({*menu, e2e::MenuKind::kMain}, kExitRow);
  const int x = exitRow.x;
  const int y = exitRow.y;
  ASSERT_LT(x, window.width);
  ASSERT_GT(window.x + x, menu->x + menu->width);  // the click is clear of the menu
  lighter.click(x, y);
  ASSERT_TRUE(support::waitUntil([&] { return !lighter.errors().empty(); }, support::Seconds(20)));
  EXPECT_EQ(lighter.errors(),
            "lighter: \"Exit\" was picked by a click away from the menu; not exiting\n");
  EXPECT_FALSE(lighter.waitForExit(support::Seconds(1)).has_value());
  lighter.click(700, 50);  // still answering
  EXPECT_TRUE(lighter.waitForOutput("mouse clicked at 700 549\n"));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// Real picks of "Exit" end the program wherever the menu opens: near the
// window's corners, and at the screen's bottom-right corner, where freeglut
// opens the menu to the left of and above the pointer.
TEST(ExitGuard, ARealPickOfExitEndsTheProgramWhereverTheMenuOpens) {
  const struct {
    int windowX, windowY, x, y;
  } places[] = {{320, 100, 5, 5}, {320, 100, 690, 510}, {480, 424, 790, 590}};
  for (const auto& p : places) {
    Lighter lighter({}, {"", /*captureErrors=*/true});
    ASSERT_TRUE(lighter.waitForWindow());
    ASSERT_TRUE(lighter.move(p.windowX, p.windowY));
    lighter.pickMenu({2}, p.x, p.y);
    EXPECT_EQ(lighter.waitForExit(), 0) << p.x << " " << p.y;
    EXPECT_EQ(lighter.errors(), "");
  }
}

// The row as freeglut draws it, to its edges: a pick 3 pixels inside the
// menu's right side and the row's lower edge is as real as one in its middle.
TEST(ExitGuard, APickNearTheEdgesOfTheExitRowStillExits) {
  Lighter lighter({}, {"", /*captureErrors=*/true});
  ASSERT_TRUE(lighter.waitForWindow());
  const auto window = lighter.geometry();
  const auto menu = lighter.openMenu(100, 100);
  ASSERT_TRUE(menu.has_value());
  const MenuBox box = menuBoxAt(menu->x, menu->y, lighter.menuMeasures().main);
  const int rowBottom = box.top + kMenuBorder + (kExitRow + 1) * box.rowHeight - 1;
  lighter.click(menu->x + menu->width - 3 - window.x, rowBottom - 3 - window.y);
  EXPECT_EQ(lighter.waitForExit(), 0);
  EXPECT_EQ(lighter.errors(), "");
}

}  // namespace
