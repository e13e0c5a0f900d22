// The click rectangle follows the picture when the window changes size.
#include <gtest/gtest.h>

#include <sstream>

#include "lighter/interaction.h"
#include "lighter/scene.h"
#include "view/view_model.h"

namespace {

void expectRect(const view::PixelRect& r, int left, int right, int bottom, int top) {
  EXPECT_EQ(r.left, left);
  EXPECT_EQ(r.right, right);
  EXPECT_EQ(r.bottom, bottom);
  EXPECT_EQ(r.top, top);
}

TEST(ClickArea, AtTheOpeningSizeItIsTheFixedRectangle) {
  const view::PixelRect r = view::clickAreaFor(view::kWindowWidth, view::kWindowHeight);
  expectRect(r, view::kClickArea.left, view::kClickArea.right, view::kClickArea.bottom,
             view::kClickArea.top);
}

// The picture scales with the height about the window's centre.
TEST(ClickArea, ScalesWithTheHeightAndStaysCentred) {
  expectRect(view::clickAreaFor(1280, 1000), 440, 807, 8, 500);  // maximised
  expectRect(view::clickAreaFor(1200, 600), 480, 700, 5, 300);   // wider: moved right only
  expectRect(view::clickAreaFor(800, 840), 232, 540, 7, 420);    // taller
  expectRect(view::clickAreaFor(400, 360), 128, 260, 3, 180);    // smaller
}

// The eye point a pixel comes from lands on that pixel again.
TEST(ClickArea, WindowToEyeInvertsEyeToWindow) {
  for (const view::Pixel p : {view::Pixel{0, 0}, {280, 5}, {799.5, 599.5}, {123.25, 456.75}}) {
    for (const auto& [w, h] : {std::pair{800, 600}, {1280, 1000}, {300, 900}}) {
      const view::Pixel back = view::eyeToWindow(view::windowToEye(p, w, h), w, h);
      EXPECT_NEAR(back.x, p.x, 1e-9);
      EXPECT_NEAR(back.y, p.y, 1e-9);
    }
  }
}

// A click on the body's middle in a maximised window lights it; the place
// the fixed rectangle had, left of the body, no longer does.
TEST(ClickArea, ClicksCountWhereTheBodyIsDrawnInAResizedWindow) {
  Scene s;
  assignStartValues(s);
  reshape(s.view, 1280, 1000);
  std::ostringstream out;
  handleMouse(s, {MouseButton::kLeft, true, 390, 1000 - 1 - 150}, out);
  EXPECT_EQ(s.act, 0);
  handleMouse(s, {MouseButton::kLeft, true, 623, 1000 - 1 - 250}, out);
  EXPECT_EQ(s.act, 1);
  EXPECT_EQ(out.str(), "mouse clicked at 390 150\nmouse clicked at 623 250\nspark!!\n");
}

}  // namespace
