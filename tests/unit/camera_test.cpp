// The turntable camera's arithmetic: the start view, its limits, its steps
// and its reset, and the rig it hands to gluLookAt.
#include <gtest/gtest.h>

#include <cmath>

#include "lighter/interaction.h"
#include "view/camera.h"

namespace {

using view::Orbit;
using view::Vec3;

constexpr double kPi = 3.14159265358979323846;

void expectNear(Vec3 got, Vec3 want, double tolerance = 1e-12) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

// A stage like the shipped lighter's: the pivot off the line of sight,
// below and to the right of the window's centre.
view::Stage lighterLikeStage() {
  view::Box box;
  box.add({-0.45, -0.75, -0.3});
  box.add({1.1, 0.5, 0.4});
  return view::stageOf(box);
}

// gluLookAt's matrix as its manual gives it, applied to a point.
Vec3 lookAtByTheManual(Vec3 eye, Vec3 centre, Vec3 up, Vec3 p) {
  const Vec3 f = (1.0 / view::length(centre - eye)) * (centre - eye);
  const Vec3 upN = (1.0 / view::length(up)) * up;
  const Vec3 s = view::cross(f, upN), u = view::cross((1.0 / view::length(s)) * s, f);
  const Vec3 sN = (1.0 / view::length(s)) * s;
  const Vec3 d = p - eye;
  return {view::dot(sN, d), view::dot(u, d), -view::dot(f, d)};
}

TEST(Camera, TheStartViewIsGluLookAtFromTheStartEye) {
  const view::Stage stage = lighterLikeStage();
  EXPECT_TRUE(view::isStartView(Orbit{}));
  const view::Rig rig = view::rigFor(Orbit{}, stage);
  expectNear(rig.eye, view::kEye);
  expectNear(rig.centre, view::kLookAt);
  expectNear(rig.up, view::kUp);
  for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1, -2, 0.5}, Vec3{-0.3, 0.7, 2.5}}) {
    expectNear(view::worldToEye(view::kStartRig, p),
               lookAtByTheManual(view::kEye, view::kLookAt, view::kUp, p));
    expectNear(view::worldToEye(view::kStartRig, p), view::worldToEye(p));
    expectNear(view::eyeToWorld(view::kStartRig, view::worldToEye(view::kStartRig, p)), p);
  }
}

TEST(Camera, AMovedRigIsGluLookAtOfItsOwnEyeCentreAndUp) {
  const view::Rig rig = view::rigFor({40.0, 25.0, 0.7}, lighterLikeStage());
  for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{1, -2, 0.5}, Vec3{-0.3, 0.7, 2.5}}) {
    expectNear(view::worldToEye(rig, p), lookAtByTheManual(rig.eye, rig.centre, rig.up, p));
    expectNear(view::eyeToWorld(rig, view::worldToEye(rig, p)), p);
  }
}

TEST(Camera, TheRigTurnsAboutThePivotAndThePivotKeepsItsPixel) {
  const view::Stage stage = lighterLikeStage();
  const Vec3 start = view::kEye - stage.pivot;
  const view::Pixel pivotPixel = view::worldToWindow(stage.pivot);
  for (const Orbit& o :
       {Orbit{90, 0, 1}, Orbit{180, 0, 1}, Orbit{-30, 60, 0.5}, Orbit{120, -45, 3}}) {
    const view::Rig rig = view::rigFor(o, stage);
    EXPECT_NEAR(view::length(rig.eye - stage.pivot), o.distance * view::length(start), 1e-12);
    const view::Pixel p = view::eyeToWindow(view::worldToEye(rig, stage.pivot));
    EXPECT_NEAR(p.x, pivotPixel.x, 1e-9);
    EXPECT_NEAR(p.y, pivotPixel.y, 1e-9);
    // Up stays in the plane of the vertical and the line of sight: no roll.
    EXPECT_NEAR(view::dot(view::cross(rig.up, rig.centre - rig.eye), Vec3{0, 1, 0}), 0.0, 1e-12);
  }
  // A quarter turn takes the eye round to the world's +x side of the pivot;
  // raising it 30 degrees lifts it by half its distance.
  const view::Rig side = view::rigFor({90, 0, 1}, stage);
  EXPECT_NEAR(side.eye.x - stage.pivot.x, start.z, 1e-12);
  EXPECT_NEAR(side.eye.z - stage.pivot.z, -start.x, 1e-12);
  const view::Rig above = view::rigFor({0, 30, 1}, stage);
  EXPECT_NEAR(above.eye.y - stage.pivot.y,
              start.y * std::cos(kPi / 6) + start.z * std::sin(kPi / 6), 1e-12);
}

TEST(Camera, ElevationStopsAtItsLimitsAndAzimuthGoesRound) {
  Orbit o;
  for (int i = 0; i < 10; ++i) o = view::turned(o, 0, 15);
  EXPECT_EQ(o.elevation, view::kHighestElevation);
  for (int i = 0; i < 20; ++i) o = view::turned(o, 0, -15);
  EXPECT_EQ(o.elevation, view::kLowestElevation);
  Orbit round;
  for (int i = 0; i < 13; ++i) round = view::turned(round, 15, 0);
  EXPECT_EQ(round.azimuth, -165.0);
  for (int i = 0; i < 11; ++i) round = view::turned(round, 15, 0);
  EXPECT_TRUE(view::isStartView(round));
  EXPECT_EQ(view::turned({}, 180, 0).azimuth, 180.0);
  EXPECT_EQ(view::turned({}, -180, 0).azimuth, 180.0);
}

TEST(Camera, StepsThatCancelGiveTheStartViewBackExactly) {
  const view::Stage stage = lighterLikeStage();
  Orbit o;
  for (int i = 0; i < 5; ++i) o = view::zoomed(o, view::kZoomStep, stage);
  for (int i = 0; i < 5; ++i) o = view::zoomed(o, 1.0 / view::kZoomStep, stage);
  for (int i = 0; i < 7; ++i) o = view::zoomed(o, 1.0 / view::kZoomStep, stage);
  for (int i = 0; i < 7; ++i) o = view::zoomed(o, view::kZoomStep, stage);
  // A drag across and back: 0.5 degree steps add up exactly.
  for (int px = 0; px < 37; ++px) o = view::turned(o, 0.1 * 0.5, 0.3);
  for (int px = 0; px < 37; ++px) o = view::turned(o, -0.1 * 0.5, -0.3);
  EXPECT_TRUE(view::isStartView(o)) << o.azimuth << " " << o.elevation << " " << o.distance;
}

TEST(Camera, DistanceStaysBetweenTheModelsNearestAndTheFarthest) {
  const view::Stage stage = lighterLikeStage();
  // The eye stays out of the box's bounding sphere by twice the near plane.
  const double radius = 0.5 * std::sqrt(1.55 * 1.55 + 1.25 * 1.25 + 0.7 * 0.7);
  EXPECT_NEAR(stage.nearest * view::length(view::kEye - stage.pivot), radius + 2 * view::kNearPlane,
              1e-12);
  Orbit o;
  for (int i = 0; i < 40; ++i) o = view::zoomed(o, view::kZoomStep, stage);
  EXPECT_EQ(o.distance, stage.nearest);
  for (int i = 0; i < 40; ++i) o = view::zoomed(o, 1.0 / view::kZoomStep, stage);
  EXPECT_EQ(o.distance, view::kFarthest);
  const Orbit asked = view::limited({725, 10, 0.01}, stage);
  EXPECT_EQ(asked.azimuth, 5.0);
  EXPECT_EQ(asked.distance, stage.nearest);
}

TEST(Camera, AStageAllowsTheStartViewAndTurnsAnEmptyModelAboutThePointLookedAt) {
  const view::Stage empty = view::stageOf(view::Box{});
  expectNear(empty.pivot, view::kLookAt);
  EXPECT_EQ(empty.nearest, view::kClosest);
  view::Box huge;
  huge.add({-10, -10, -10});
  huge.add({10, 10, 10});
  EXPECT_EQ(view::stageOf(huge).nearest, 1.0);  // no nearer, but the start stands
  view::Box dot;
  dot.add({0.1, 0.2, 0.3});
  EXPECT_EQ(view::stageOf(dot).nearest, view::kClosest);
}

TEST(ViewKeys, ArrowsTurnAndTiltAsDragsDoPlusAndMinusZoomAndRResets) {
  ViewState v;
  v.stage = lighterLikeStage();
  EXPECT_TRUE(moveView(v, KeyAction::kTurnRight));
  EXPECT_EQ(v.orbit.azimuth, -view::kTurnStepDegrees);  // the lighter turns right
  EXPECT_TRUE(moveView(v, KeyAction::kTiltDown));
  EXPECT_EQ(v.orbit.elevation, view::kTurnStepDegrees);  // its top comes into view
  EXPECT_TRUE(moveView(v, KeyAction::kZoomIn));
  EXPECT_EQ(v.orbit.distance, view::kZoomStep);
  EXPECT_TRUE(moveView(v, KeyAction::kResetView));
  EXPECT_TRUE(view::isStartView(v.orbit));
  EXPECT_TRUE(moveView(v, KeyAction::kTurnLeft));
  EXPECT_TRUE(moveView(v, KeyAction::kTiltUp));
  EXPECT_TRUE(moveView(v, KeyAction::kZoomOut));
  EXPECT_EQ(v.orbit.azimuth, view::kTurnStepDegrees);
  EXPECT_EQ(v.orbit.elevation, -view::kTurnStepDegrees);
  EXPECT_EQ(v.orbit.distance, 1.0 / view::kZoomStep);
  const Orbit before = v.orbit;
  for (KeyAction other : {KeyAction::kNone, KeyAction::kFlint, KeyAction::kLit, KeyAction::kExit}) {
    EXPECT_FALSE(moveView(v, other));
  }
  EXPECT_EQ(v.orbit.azimuth, before.azimuth);
}

TEST(ViewKeys, KeysAndSpecialKeysMapToTheCamerasActions) {
  EXPECT_EQ(actionForKey('+'), KeyAction::kZoomIn);
  EXPECT_EQ(actionForKey('-'), KeyAction::kZoomOut);
  EXPECT_EQ(actionForKey('r'), KeyAction::kResetView);
  EXPECT_EQ(actionForKey('R'), KeyAction::kResetView);
  EXPECT_EQ(actionForKey('='), KeyAction::kNone);
  for (bool shift : {false, true}) {
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kLeft, shift), KeyAction::kTurnLeft);
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kRight, shift), KeyAction::kTurnRight);
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kUp, shift), KeyAction::kTiltUp);
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kDown, shift), KeyAction::kTiltDown);
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kHome, shift), KeyAction::kResetView);
    EXPECT_EQ(actionForSpecialKey(SpecialKey::kOther, shift), KeyAction::kNone);
  }
}

}  // namespace
