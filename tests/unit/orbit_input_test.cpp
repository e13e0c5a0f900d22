// The mouse on the turntable: which presses are clicks and which turn the
// camera, drags, the wheel, and what is printed.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>

#include "lighter/interaction.h"
#include "lighter/scene.h"
#include "lighter/shown_model.h"
#include "view/picking.h"

namespace {

// A scene with a body filling the click rectangle at the start view: a box
// whose picture is the rectangle, its depth half its width.
std::unique_ptr<Scene> sceneWithABox() {
  auto s = std::make_unique<Scene>();
  assignStartValues(*s);
  MeshState& m = s->meshes;
  m.max_extent = 1.0f;
  const view::Placement place = view::bodyPlacement(meshFrameOf(m));
  const view::Mat3 back = view::inverse(place.linear);
  const view::PixelRect& r = view::kClickArea;
  const view::Vec3 lowEye = view::windowToEye({double(r.left), double(r.bottom)});
  const view::Vec3 highEye = view::windowToEye({double(r.right), double(r.top)});
  const double depth = 3.0;  // the box's front at the point looked at
  const view::Vec3 a = view::kEye + depth * view::Vec3{lowEye.x, lowEye.y, -1};
  const view::Vec3 b = view::kEye + depth * view::Vec3{highEye.x, highEye.y, -1};
  const double deep = 0.5 * (b.x - a.x);
  for (int i = 0; i < 8; ++i) {
    const view::Vec3 w{i & 1 ? b.x : a.x, i & 2 ? b.y : a.y, i & 4 ? a.z - deep : a.z};
    const view::Vec3 p = back * (w - place.offset);
    m.lighterBaseVertices.push_back(
        {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
  }
  for (const auto& f : {std::array<int, 3>{1, 2, 4},
                        {1, 4, 3},
                        {5, 6, 8},
                        {5, 8, 7},
                        {1, 2, 6},
                        {1, 6, 5},
                        {3, 4, 8},
                        {3, 8, 7},
                        {1, 3, 7},
                        {1, 7, 5},
                        {2, 4, 8},
                        {2, 8, 6}}) {
    m.lighterBaseTriangles.push_back({f[0], f[1], f[2], {}});
  }
  stageModel(s->view, m);
  return s;
}

std::ostringstream printed;

std::string printedBy(Scene& s, const MouseEvent& event) {
  printed.str("");
  handleMouse(s, event, printed);
  return printed.str();
}

MouseEvent left(bool pressed, int x, int yUp, bool shift = false) {
  return {MouseButton::kLeft, pressed, x, view::kWindowHeight - 1 - yUp, shift};
}

std::string clicked(int x, int yUp) {
  return "mouse clicked at " + std::to_string(x) + " " + std::to_string(yUp) + "\n";
}

TEST(OrbitInput, ADragFromBesideTheLighterTurnsItAndOneFromTheLighterDoesNot) {
  auto s = sceneWithABox();
  EXPECT_EQ(printedBy(*s, left(true, 390, 150)), clicked(390, 150) + "spark!!\n");
  EXPECT_FALSE(handleMotion(*s, 450, 100));
  EXPECT_EQ(printedBy(*s, left(false, 450, 150)), "");
  EXPECT_TRUE(view::isStartView(s->view.orbit));

  EXPECT_EQ(printedBy(*s, left(true, 100, 150)), clicked(100, 150));
  EXPECT_EQ(s->act, 1);
  EXPECT_TRUE(handleMotion(*s, 160, 429));  // 60 right and 20 up, from y 449 top-down
  EXPECT_EQ(s->view.orbit.azimuth, -60 * view::kDragDegreesPerPixel);
  EXPECT_EQ(s->view.orbit.elevation, -20 * view::kDragDegreesPerPixel);
  EXPECT_EQ(printedBy(*s, left(false, 160, 169)), "");  // the release prints nothing
  EXPECT_FALSE(handleMotion(*s, 300, 300));
  EXPECT_EQ(s->view.orbit.azimuth, -30.0);
}

TEST(OrbitInput, MiddleAndShiftDragsTurnFromAnywhereAndShiftOnTheLighterStillCounts) {
  auto s = sceneWithABox();
  EXPECT_EQ(printedBy(*s, {MouseButton::kMiddle, true, 390, 449}), "");
  EXPECT_TRUE(handleMotion(*s, 390, 469));
  EXPECT_EQ(printedBy(*s, {MouseButton::kMiddle, false, 390, 469}), "");
  EXPECT_EQ(s->view.orbit.elevation, 20 * view::kDragDegreesPerPixel);
  EXPECT_EQ(s->act, 0);
  s->view.orbit = {};
  // With Shift a press on the lighter is a click as every press on it is,
  // and the drag from it turns the camera.
  EXPECT_EQ(printedBy(*s, left(true, 390, 150, true)), clicked(390, 150) + "spark!!\n");
  EXPECT_TRUE(handleMotion(*s, 370, 449));
  EXPECT_EQ(s->view.orbit.azimuth, 20 * view::kDragDegreesPerPixel);
  // Only the button that began the drag ends it.
  handleMouse(*s, {MouseButton::kMiddle, false, 370, 449}, printed);
  EXPECT_TRUE(handleMotion(*s, 360, 449));
  handleMouse(*s, left(false, 360, 150), printed);
  EXPECT_FALSE(handleMotion(*s, 300, 449));
}

TEST(OrbitInput, TheWheelZoomsAStepAPressAndPrintsNothing) {
  auto s = sceneWithABox();
  EXPECT_EQ(printedBy(*s, {MouseButton::kWheelUp, true, 390, 449}), "");
  EXPECT_EQ(printedBy(*s, {MouseButton::kWheelUp, false, 390, 449}), "");
  EXPECT_EQ(s->view.orbit.distance, view::kZoomStep);
  EXPECT_EQ(printedBy(*s, {MouseButton::kWheelDown, true, 390, 449}), "");
  EXPECT_TRUE(view::isStartView(s->view.orbit));
  EXPECT_EQ(s->act, 0);
}

TEST(OrbitInput, OnceTurnedAPressCountsOnTheLighterAsDrawnAndNotBesideIt) {
  auto s = sceneWithABox();
  s->view.orbit = {90, 0, 1};  // the box's side, half its front's width
  const view::Rig rig = rigOf(s->view);
  EXPECT_FALSE(landsOnLighter(*s, 285, 150));  // in the rectangle, now beside the box
  const view::Pixel side = view::eyeToWindow(view::worldToEye(rig, s->view.stage.pivot));
  const int x = static_cast<int>(side.x), yUp = static_cast<int>(side.y);
  EXPECT_EQ(printedBy(*s, left(true, 285, 150)), clicked(285, 150));
  EXPECT_EQ(s->act, 0);
  handleMouse(*s, left(false, 285, 150), printed);
  EXPECT_EQ(printedBy(*s, left(true, x, yUp)), clicked(x, yUp) + "spark!!\n");
  EXPECT_EQ(s->act, 1);
  // Back at the start view the rectangle holds again.
  s->view.orbit = {};
  EXPECT_TRUE(landsOnLighter(*s, 285, 150));
}

}  // namespace
