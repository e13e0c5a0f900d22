// Rays from the eye through window points, met against triangles: where
// the model is on screen once the camera has moved, and how deep the
// flame's origin stands on it as the start view shows it. Plain math, no
// GL; lighter/shown_model.h walks the meshes with it.
#pragma once

#include <optional>
#include <vector>

#include "view/camera.h"

namespace view {

struct Triangle {
  Vec3 a, b, c;
};

// A ray from the eye, its direction scaled so that the distance along it is
// the depth in front of the eye (minus the eye coordinates' z).
struct Ray {
  Vec3 origin;
  Vec3 direction;
};

// The ray through window point `point` (x from the left edge, y up from the
// bottom edge, in pixels: a pixel's middle is its index plus a half), for
// `rig` and a window of the given size.
Ray rayThrough(const Rig& rig, Pixel point, int width = kWindowWidth, int height = kWindowHeight);

// The depth at which `ray` crosses `triangle`, from either side, if it does.
// A triangle without area is never crossed.
std::optional<double> crossing(const Ray& ray, const Triangle& triangle);

// Whether a crossing at `depth` is drawn: between the near and the far plane.
bool isDrawnDepth(double depth);

// An affine map, the matrix first: the body's or the lid's placement chain
// from its file to the world as one map.
struct Placement {
  Mat3 linear;
  Vec3 offset;
};
Placement bodyPlacement(const MeshFrame& frame);
Placement lidPlacement(const MeshFrame& frame);
Vec3 apply(const Placement& placement, Vec3 p);

// The ray in the space `placement` maps from, so that it meets a mesh's own
// triangles where the world's ray meets them placed, at the same distance
// along it. None when the placement has no inverse (a mesh without extent).
std::optional<Ray> rayInto(const Placement& placement, const Ray& world);

// The start view's rays that find how deep the flame's origin stands on the
// body. The start view shows the flame rising from the window's centre
// (flameOrigin), and the model's top (a chimney, a wick) is framed right
// under it: these rays pass through the few rows just below that point and
// a few columns either side, across the top's front and back.
std::vector<Ray> flameProbes();
// The window rectangle they pass through, to leave out triangles nowhere
// near them.
struct PixelBounds {
  double left, right, bottom, top;
};
PixelBounds flameProbeBounds();

// The flame stands in the middle of the nearest and the farthest drawn
// crossing of the probes with the body; with none, at the depth of the
// body's vertex nearest the flame's origin on screen (`nearestVertexDepth`);
// without a body, at the point looked at.
double flameDepth(const std::vector<double>& probeCrossings,
                  std::optional<double> nearestVertexDepth);

// The point the flame rises from, in the world: on the start view's line of
// sight at `depth` in front of the eye.
Vec3 flameAnchor(double depth);

}  // namespace view
