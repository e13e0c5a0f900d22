#include "view/picking.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace view {

namespace {

// The flame's probes: half-pixel steps over the rows just below the flame's
// origin, whole pixels either side of its column, in the window the program
// opens. A chimney's top or a wick is several pixels wide and deep in rows.
constexpr int kProbeRows = 8;
constexpr int kProbeColumnsEachSide = 2;

Vec3 normalisedForward() {
  const Vec3 d = kLookAt - kEye;
  return (1.0 / length(d)) * d;
}

}  // namespace

Ray rayThrough(const Rig& rig, Pixel point, int width, int height) {
  return {rig.eye, eyeDirectionToWorld(rig, windowToEye(point, width, height))};
}

// Moeller and Trumbore's test, from either side.
std::optional<double> crossing(const Ray& ray, const Triangle& t) {
  const Vec3 e1 = t.b - t.a, e2 = t.c - t.a;
  const Vec3 p = cross(ray.direction, e2);
  const double det = dot(e1, p);
  if (det == 0.0 || !std::isfinite(det)) return std::nullopt;
  const double inv = 1.0 / det;
  const Vec3 s = ray.origin - t.a;
  const double u = dot(s, p) * inv;
  if (u < 0.0 || u > 1.0) return std::nullopt;
  const Vec3 q = cross(s, e1);
  const double v = dot(ray.direction, q) * inv;
  if (v < 0.0 || u + v > 1.0) return std::nullopt;
  const double depth = dot(e2, q) * inv;
  if (!std::isfinite(depth)) return std::nullopt;
  return depth;
}

bool isDrawnDepth(double depth) { return depth >= kNearPlane && depth <= kFarPlane; }

namespace {

template <typename Map>
Placement sampled(Map map) {
  const Vec3 o = map(Vec3{});
  const Vec3 x = map(Vec3{1.0, 0.0, 0.0}) - o, y = map(Vec3{0.0, 1.0, 0.0}) - o,
             z = map(Vec3{0.0, 0.0, 1.0}) - o;
  return {{{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}}, o};
}

}  // namespace

Placement bodyPlacement(const MeshFrame& frame) {
  return sampled([&](Vec3 p) { return baseToWorld(frame, p); });
}

Placement lidPlacement(const MeshFrame& frame) {
  return sampled([&](Vec3 q) { return lidToWorld(frame, q); });
}

Vec3 apply(const Placement& placement, Vec3 p) { return placement.linear * p + placement.offset; }

std::optional<Ray> rayInto(const Placement& placement, const Ray& world) {
  try {
    const Mat3 back = inverse(placement.linear);
    const Ray ray{back * (world.origin - placement.offset), back * world.direction};
    const bool finite = std::isfinite(length(ray.origin)) && std::isfinite(length(ray.direction));
    if (!finite) return std::nullopt;
    return ray;
  } catch (const std::domain_error&) {
    return std::nullopt;
  }
}

std::vector<Ray> flameProbes() {
  const Pixel origin = flameOrigin();
  std::vector<Ray> rays;
  for (int row = 0; row < kProbeRows; ++row) {
    for (int column = -kProbeColumnsEachSide; column <= kProbeColumnsEachSide; ++column) {
      const Pixel point{origin.x + column, origin.y - 0.5 * (row + 1)};
      rays.push_back(rayThrough(kStartRig, point));
    }
  }
  return rays;
}

PixelBounds flameProbeBounds() {
  const Pixel origin = flameOrigin();
  return {origin.x - kProbeColumnsEachSide, origin.x + kProbeColumnsEachSide,
          origin.y - 0.5 * kProbeRows, origin.y - 0.5};
}

double flameDepth(const std::vector<double>& probeCrossings,
                  std::optional<double> nearestVertexDepth) {
  double nearest = HUGE_VAL, farthest = -HUGE_VAL;
  for (double d : probeCrossings) {
    if (!isDrawnDepth(d)) continue;
    nearest = std::min(nearest, d);
    farthest = std::max(farthest, d);
  }
  if (nearest <= farthest) return 0.5 * (nearest + farthest);
  if (nearestVertexDepth && isDrawnDepth(*nearestVertexDepth)) return *nearestVertexDepth;
  return length(kLookAt - kEye);
}

Vec3 flameAnchor(double depth) { return kEye + depth * normalisedForward(); }

}  // namespace view
