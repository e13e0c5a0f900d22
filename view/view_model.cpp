#include "view/view_model.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace view {

namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

Vec3 normalised(Vec3 a) { return (1.0 / length(a)) * a; }

}  // namespace

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 operator*(const Mat3& m, Vec3 v) {
  return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
          m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
          m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

Mat3 transpose(const Mat3& m) {
  Mat3 t{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) t[i][j] = m[j][i];
  }
  return t;
}

Mat3 inverse(const Mat3& m) {
  const Vec3 r0{m[0][0], m[0][1], m[0][2]}, r1{m[1][0], m[1][1], m[1][2]},
      r2{m[2][0], m[2][1], m[2][2]};
  // The inverse's columns are the cross products of the rows over the determinant.
  const Vec3 c0 = cross(r1, r2), c1 = cross(r2, r0), c2 = cross(r0, r1);
  const double det = dot(r0, c0);
  if (det == 0.0 || !std::isfinite(det)) throw std::domain_error("singular matrix");
  const double k = 1.0 / det;
  return {{{k * c0.x, k * c1.x, k * c2.x},
           {k * c0.y, k * c1.y, k * c2.y},
           {k * c0.z, k * c1.z, k * c2.z}}};
}

// The matrix of glRotatef's documentation.
Mat3 rotation(const Turn& turn) {
  const Vec3 u = normalised(turn.axis);
  const double c = std::cos(radians(turn.degrees));
  const double s = std::sin(radians(turn.degrees));
  const double k = 1.0 - c;
  return {{{u.x * u.x * k + c, u.x * u.y * k - u.z * s, u.x * u.z * k + u.y * s},
           {u.y * u.x * k + u.z * s, u.y * u.y * k + c, u.y * u.z * k - u.x * s},
           {u.z * u.x * k - u.y * s, u.z * u.y * k + u.x * s, u.z * u.z * k + c}}};
}

double aspectRatio(int width, int height) {
  return static_cast<double>(std::max(width, 1)) / static_cast<double>(std::max(height, 1));
}

// S(1 / maxExtent) T(-centerBase) T(position) R(body turn) S(scaleSize): the
// call made last acts first.
Vec3 baseToWorld(const MeshFrame& frame, Vec3 p) {
  const Vec3 placed = rotation(kBodyTurn) * (kScaleSize * p) + Vec3{kPositionX, kPositionY, 0.0};
  return (1.0 / frame.maxExtent) * (placed - frame.centerBase);
}

// The body's chain after T(-centerTop) T(lid drop) T(lid lift) R(lid tilt).
Vec3 lidToWorld(const MeshFrame& frame, Vec3 q) {
  return baseToWorld(frame, rotation(kLidTilt) * q + kLidDrop + kLidLift - frame.centerTop);
}

// Solves lidToWorld(frame, centerTop) = 0 for frame.centerBase.
Vec3 centreForLidAlone(Vec3 centerTop) {
  const Vec3 lidCentre = rotation(kLidTilt) * centerTop + kLidDrop + kLidLift - centerTop;
  return rotation(kBodyTurn) * (kScaleSize * lidCentre) + Vec3{kPositionX, kPositionY, 0.0};
}

// gluLookAt: the eye at the origin looking down -z, kUp as near up as it goes.
Vec3 worldToEye(Vec3 world) {
  const Vec3 forward = normalised(kLookAt - kEye);
  const Vec3 side = normalised(cross(forward, kUp));
  const Vec3 up = cross(side, forward);
  const Vec3 d = world - kEye;
  return {dot(side, d), dot(up, d), -dot(forward, d)};
}

Pixel eyeToWindow(Vec3 eye, int width, int height) {
  const double f = 1.0 / std::tan(radians(kFieldOfViewDegrees) / 2.0);
  const double ndcX = f / aspectRatio(width, height) * eye.x / -eye.z;
  const double ndcY = f * eye.y / -eye.z;
  return {(ndcX + 1.0) * width / 2.0, (ndcY + 1.0) * height / 2.0};
}

Pixel worldToWindow(Vec3 world, int width, int height) {
  return eyeToWindow(worldToEye(world), width, height);
}

Pixel flameOrigin(int width, int height) { return eyeToWindow({0.0, 0.0, -1.0}, width, height); }

Vec3 windowToEye(Pixel pixel, int width, int height) {
  const double f = 1.0 / std::tan(radians(kFieldOfViewDegrees) / 2.0);
  const double ndcX = 2.0 * pixel.x / width - 1.0;
  const double ndcY = 2.0 * pixel.y / height - 1.0;
  return {ndcX * aspectRatio(width, height) / f, ndcY / f, -1.0};
}

PixelRect clickAreaFor(int width, int height) {
  const auto moved = [&](int x, int y) {
    return eyeToWindow(windowToEye({static_cast<double>(x), static_cast<double>(y)}), width,
                       height);
  };
  const Pixel low = moved(kClickArea.left, kClickArea.bottom);
  const Pixel high = moved(kClickArea.right, kClickArea.top);
  return {static_cast<int>(std::lround(low.x)), static_cast<int>(std::lround(high.x)),
          static_cast<int>(std::lround(low.y)), static_cast<int>(std::lround(high.y))};
}

}  // namespace view
