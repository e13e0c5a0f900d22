// The turntable camera: the start view's camera turned about the world's
// vertical axis, tilted, and brought nearer or farther, all about the middle
// of the model. Plain math, no GL: the frame hands the rig it makes to
// gluLookAt, and the clicks and the flame are placed through the same rig.
//
// The whole start camera (its eye and the point it looks at) is turned and
// scaled about the pivot as one rig, so the pivot keeps its pixel at every
// distance and the start view is the orbit {0, 0, 1} exactly.
#pragma once

#include "view/view_model.h"

namespace view {

// What gluLookAt is given: the eye, the point looked at, and up.
struct Rig {
  Vec3 eye;
  Vec3 centre;
  Vec3 up;
};
inline constexpr Rig kStartRig{kEye, kLookAt, kUp};

// Where the camera stands on the turntable. `azimuth`: degrees the eye has
// gone round the vertical axis, positive towards the world's +x (the right
// of the start picture), within (-180, 180]. `elevation`: degrees the eye
// has risen above the start view's height (negative: below), within the
// limits below. `distance`: the eye's distance from the pivot as a factor of
// the start view's.
struct Orbit {
  double azimuth = 0.0;
  double elevation = 0.0;
  double distance = 1.0;
};

// Up stays up: the eye never goes over the top nor right under the model.
inline constexpr double kLowestElevation = -60.0;
inline constexpr double kHighestElevation = 80.0;
// The keys' turn and tilt, and a drag's degrees per pixel.
inline constexpr double kTurnStepDegrees = 15.0;
inline constexpr double kDragDegreesPerPixel = 0.5;
// One wheel step (or + and -) brings the eye this factor nearer.
inline constexpr double kZoomStep = 0.875;
// The farthest the eye goes: the model a quarter of its start size, well
// inside the far plane.
inline constexpr double kFarthest = 4.0;
// The nearest, for a model too small to bound it: eight times the start size.
inline constexpr double kClosest = 0.125;

// A box in the world, grown point by point; empty until the first.
struct Box {
  Vec3 low, high;
  bool empty = true;
  void add(Vec3 p);
};

// What the camera turns about and how near it may come, from the model as
// the start view shows it: the middle of the body's and lid's box in the
// world, and the smallest distance factor that keeps the eye out of the
// box's bounding sphere by twice the near plane (never above the start's).
struct Stage {
  Vec3 pivot;
  double nearest = kClosest;
};
// The stage of a model within `box`; for an empty box (nothing drawn), the
// start camera turning about the point it looks at.
Stage stageOf(const Box& box);

// Exactly the start view, whose frames keep the start view's own calls.
bool isStartView(const Orbit& orbit);

// The orbit turned by `azimuth` and tilted by `elevation` degrees, the
// azimuth brought into (-180, 180] and the elevation within its limits.
// Angles that land within a billionth of a degree of the start's are the
// start's, so steps that cancel give the start view back exactly.
Orbit turned(const Orbit& orbit, double azimuth, double elevation);

// The orbit with its distance multiplied by `factor` (below 1 nearer),
// within [stage.nearest, kFarthest]; a distance within a billionth of the
// start's is the start's.
Orbit zoomed(const Orbit& orbit, double factor, const Stage& stage);

// `orbit` brought within the limits, as turned and zoomed leave it.
Orbit limited(const Orbit& orbit, const Stage& stage);

// The start rig turned (azimuth about the vertical, then elevation about
// the rig's horizontal axis) and scaled by the distance, about the pivot.
Rig rigFor(const Orbit& orbit, const Stage& stage);

// World to eye coordinates through `rig`, as gluLookAt's matrix takes them,
// and back; directions (no translation) both ways.
Vec3 worldToEye(const Rig& rig, Vec3 world);
Vec3 eyeToWorld(const Rig& rig, Vec3 eye);
Vec3 eyeDirectionToWorld(const Rig& rig, Vec3 direction);

}  // namespace view
