#include "view/camera.h"

#include <algorithm>
#include <cmath>

namespace view {

namespace {

// Within this of the start's value an angle or a distance is the start's:
// far below anything a pixel shows, far above the rounding of a few steps.
constexpr double kSnap = 1e-9;

double snapped(double value, double start) {
  return std::abs(value - start) < kSnap ? start : value;
}

// Into (-180, 180].
double wrapped(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

Vec3 normalised(Vec3 a) { return (1.0 / length(a)) * a; }

// The eye's basis, as gluLookAt builds it: side, true up, and backwards.
struct Basis {
  Vec3 side, up, back;
};
Basis basisOf(const Rig& rig) {
  const Vec3 forward = normalised(rig.centre - rig.eye);
  const Vec3 side = normalised(cross(forward, rig.up));
  return {side, cross(side, forward), -1.0 * forward};
}

}  // namespace

void Box::add(Vec3 p) {
  if (empty) {
    low = high = p;
    empty = false;
    return;
  }
  low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
  high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

Stage stageOf(const Box& box) {
  Stage stage;
  stage.pivot = kLookAt;
  const Vec3 middle = 0.5 * (box.low + box.high);
  if (box.empty || !std::isfinite(length(middle))) return stage;
  stage.pivot = middle;
  const double radius = 0.5 * length(box.high - box.low);
  const double reach = length(kEye - stage.pivot);
  if (reach > 0.0 && std::isfinite(radius) && std::isfinite(reach)) {
    stage.nearest = std::clamp((radius + 2.0 * kNearPlane) / reach, kClosest, 1.0);
  }
  return stage;
}

bool isStartView(const Orbit& orbit) {
  return orbit.azimuth == 0.0 && orbit.elevation == 0.0 && orbit.distance == 1.0;
}

Orbit turned(const Orbit& orbit, double azimuth, double elevation) {
  Orbit out = orbit;
  out.azimuth = snapped(wrapped(orbit.azimuth + azimuth), 0.0);
  out.elevation =
      snapped(std::clamp(orbit.elevation + elevation, kLowestElevation, kHighestElevation), 0.0);
  return out;
}

Orbit zoomed(const Orbit& orbit, double factor, const Stage& stage) {
  Orbit out = orbit;
  out.distance = snapped(std::clamp(orbit.distance * factor, stage.nearest, kFarthest), 1.0);
  return out;
}

Orbit limited(const Orbit& orbit, const Stage& stage) {
  return zoomed(turned({0.0, orbit.elevation, orbit.distance}, orbit.azimuth, 0.0), 1.0, stage);
}

Rig rigFor(const Orbit& orbit, const Stage& stage) {
  const Mat3 turn = rotation({orbit.azimuth, {0.0, 1.0, 0.0}});
  // A tilt about +x by minus the elevation lifts an eye in front of the pivot.
  const Mat3 tilt = rotation({-orbit.elevation, {1.0, 0.0, 0.0}});
  const auto place = [&](Vec3 p) {
    return stage.pivot + orbit.distance * (turn * (tilt * (p - stage.pivot)));
  };
  return {place(kStartRig.eye), place(kStartRig.centre), turn * (tilt * kStartRig.up)};
}

Vec3 worldToEye(const Rig& rig, Vec3 world) {
  const Basis b = basisOf(rig);
  const Vec3 d = world - rig.eye;
  return {dot(b.side, d), dot(b.up, d), dot(b.back, d)};
}

Vec3 eyeDirectionToWorld(const Rig& rig, Vec3 direction) {
  const Basis b = basisOf(rig);
  return direction.x * b.side + direction.y * b.up + direction.z * b.back;
}

Vec3 eyeToWorld(const Rig& rig, Vec3 eye) { return rig.eye + eyeDirectionToWorld(rig, eye); }

}  // namespace view
