#include "tools/datagen/view_chain.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBoxMaxStart = 1.1754e-38;
constexpr double kBoxMinStart = 1.1754e38;

}  // namespace

Mat3 bodyTurn() { return glRotation(90.0, {0.0, -90.0, 0.0}); }
Mat3 lidTilt() { return glRotation(35.0, {-35.0, 0.0, 0.0}); }
Vec3 lidOffset() { return Vec3{0.0, -1.98, -2.3} + Vec3{0.0, 2.585, 1.68}; }

double readerExtent(const std::vector<Vec3>& baseVertices) {
  double maxX = kBoxMaxStart, maxY = kBoxMaxStart;
  double minX = kBoxMinStart, minY = kBoxMinStart;
  for (Vec3 v : baseVertices) {
    maxX = std::max(maxX, v.x);
    minX = std::min(minX, v.x);
    maxY = std::max(maxY, v.y);
    minY = std::min(minY, v.y);
  }
  return std::max(maxX - minX, maxY - minY);
}

Vec3 meanOf(const std::vector<Vec3>& vertices) {
  Vec3 sum;
  for (Vec3 v : vertices) sum = sum + v;
  return (1.0 / static_cast<double>(vertices.size())) * sum;
}

ChainFrame frameOf(const std::vector<Vec3>& baseVertices, const std::vector<Vec3>& lidVertices) {
  return {readerExtent(baseVertices), meanOf(baseVertices), meanOf(lidVertices)};
}

Vec3 baseToWorld(const ChainFrame& frame, Vec3 p) {
  const Vec3 placed = bodyTurn() * (kScaleSize * p) + Vec3{kPositionX, kPositionY, 0.0};
  return (1.0 / frame.maxExtent) * (placed - frame.centerBase);
}

Vec3 lidToWorld(const ChainFrame& frame, Vec3 q) {
  return baseToWorld(frame, lidTilt() * q + lidOffset() - frame.centerTop);
}

WindowPoint toWindow(Vec3 world) {
  const double f = 1.0 / std::tan(kFieldOfViewDegrees * kPi / 360.0);
  const double aspect = kWindowWidth / kWindowHeight;
  const double distance = kEyeZ - world.z;
  const double ndcX = f / aspect * world.x / distance;
  const double ndcY = f * world.y / distance;
  return {(ndcX + 1.0) * kWindowWidth / 2.0, (ndcY + 1.0) * kWindowHeight / 2.0};
}

}  // namespace datagen
