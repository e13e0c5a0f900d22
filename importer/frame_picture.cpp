#include "importer/frame.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "importer/records.h"

namespace importer {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// How near the eye the body may come, in world units: a body deep along the
// line of sight would fill the rectangle only so near that its front would
// look many times larger than its back. Closer than this it shows smaller.
constexpr double kClosest = 0.5;

// How much of the picture's height counts as its top, whose middle goes
// under the flame: a wick, a chimney, a spout, or the whole of a flat top.
constexpr double kTopBand = 0.03;

// Steps of the one search, for the depth: halving the interval this often
// leaves it far below a pixel's worth.
constexpr int kDepthSteps = 64;

view::Vec3 cameraOffset() {
  const view::Vec3 origin = view::worldToEye({});
  const view::Vec3 moved = view::worldToEye({1.0, 2.0, 4.0}) - origin;
  if (moved.x != 1.0 || moved.y != 2.0 || moved.z != 4.0) {
    throw std::logic_error("framing: the camera is not a pure translation");
  }
  return origin;
}

// The picture of the body's eye points under a shift of the world.
class Picture {
 public:
  Picture(const std::vector<view::Vec3>& world, const FramingTarget& target)
      : target_(target), lens_(Lens::ofTheWindow()) {
    eye_.reserve(world.size());
    for (const view::Vec3& p : world) eye_.push_back(eyeOfWorld(p));
  }

  PictureFrame frame() {
    PictureFrame out;
    // First centred in the rectangle, which shows what the top of the
    // picture is; then with the middle of that top under the flame.
    findTopBand(solve(out.nearLimited));
    underFlame_ = true;
    out.shift = solve(out.nearLimited);
    return out;
  }

 private:
  double depth(size_t i, double z) const { return -(eye_[i].z + z); }
  double x(size_t i, view::Vec3 s) const { return lens_.pixel(eye_[i] + s).x; }

  // The sideways (or upward) shift at depth z that shows point i on `column` (`row`).
  double shiftToColumn(size_t i, double column, double z) const {
    return (column - lens_.cx) * depth(i, z) / lens_.kx - eye_[i].x;
  }
  double shiftToRow(size_t i, double row, double z) const {
    return (row - lens_.cy) * depth(i, z) / lens_.ky - eye_[i].y;
  }

  PixelBox box(view::Vec3 s) const {
    PixelBox b;
    for (const view::Vec3& e : eye_) b.add(lens_.pixel(e + s));
    return b;
  }

  // The shift that puts the middle of points a and b on `column`.
  double shiftToMiddle(size_t a, size_t b, double column, double z) const {
    const double da = depth(a, z), db = depth(b, z);
    return (2.0 * (column - lens_.cx) / lens_.kx - eye_[a].x / da - eye_[b].x / db) /
           (1.0 / da + 1.0 / db);
  }

  // The middle of the whole picture on `column`: the extreme points change
  // with the shift only while it settles.
  double centre(view::Vec3 s, double column) const {
    for (int round = 0; round < 16; ++round) {
      size_t left = 0, right = 0;
      for (size_t i = 1; i < eye_.size(); ++i) {
        if (x(i, s) < x(left, s)) left = i;
        if (x(i, s) > x(right, s)) right = i;
      }
      const double next = shiftToMiddle(left, right, column, s.z);
      if (next == s.x) break;
      s.x = next;
    }
    return s.x;
  }

  // For a depth, the sideways and upward shift that puts the picture's top
  // on the target row and its middle (or its top's middle) on the target
  // column, moved back inside the rectangle's sides if that leaves them. Each
  // point rises with the shift, so the top reaches the row first for the
  // point needing the least shift; the left side reaches a column last.
  view::Vec3 placeAtDepth(double z) const {
    view::Vec3 s{0.0, kInfinity, z};
    for (size_t i = 0; i < eye_.size(); ++i) s.y = std::min(s.y, shiftToRow(i, target_.top, z));
    s.x = underFlame_ ? shiftToMiddle(bandLeft_, bandRight_, target_.flameX, z)
                      : centre(s, target_.centreX());
    const PixelBox b = box(s);
    if (b.left < target_.left && b.right > target_.right) {
      s.x = centre(s, target_.centreX());  // wider than the rectangle: centred
    } else if (b.left < target_.left) {
      s.x = -kInfinity;
      for (size_t i = 0; i < eye_.size(); ++i)
        s.x = std::max(s.x, shiftToColumn(i, target_.left, z));
    } else if (b.right > target_.right) {
      s.x = kInfinity;
      for (size_t i = 0; i < eye_.size(); ++i)
        s.x = std::min(s.x, shiftToColumn(i, target_.right, z));
    }
    return s;
  }

  // How far the picture stays inside the rectangle's bottom and width;
  // farther means smaller, so it grows with the distance.
  double slack(double z) const {
    const PixelBox b = box(placeAtDepth(z));
    return std::min(b.bottom - target_.bottom, (target_.right - target_.left) - b.width());
  }

  view::Vec3 solve(bool& nearLimited) const {
    // Depths at which the whole body lies between the near and far planes,
    // with room to spare.
    double nearest = -kInfinity, farthest = kInfinity;
    for (const view::Vec3& e : eye_)
      nearest = std::max(nearest, e.z), farthest = std::min(farthest, e.z);
    double zNear = -kClosest - nearest, zFar = -0.95 * view::kFarPlane - farthest;
    if (!(zFar < zNear)) throw ImportError("the model is too deep to fit the program's view");
    if (slack(zFar) < 0.0) {
      throw ImportError("the model is too long and thin to show whole within the program's view");
    }
    nearLimited = slack(zNear) >= 0.0;
    if (nearLimited) return placeAtDepth(zNear);
    for (int step = 0; step < kDepthSteps; ++step) {
      const double z = (zNear + zFar) / 2.0;
      (slack(z) >= 0.0 ? zFar : zNear) = z;
    }
    return placeAtDepth(zFar);
  }

  // The leftmost and rightmost of the points near the picture's top.
  void findTopBand(view::Vec3 s) {
    const PixelBox all = box(s);
    const double from = all.top - kTopBand * all.height();
    double left = kInfinity, right = -kInfinity;
    for (size_t i = 0; i < eye_.size(); ++i) {
      const view::Pixel p = lens_.pixel(eye_[i] + s);
      if (p.y < from) continue;
      if (p.x < left) left = p.x, bandLeft_ = i;
      if (p.x > right) right = p.x, bandRight_ = i;
    }
  }

  std::vector<view::Vec3> eye_;
  FramingTarget target_;
  Lens lens_;
  bool underFlame_ = false;
  size_t bandLeft_ = 0;
  size_t bandRight_ = 0;
};

}  // namespace

Lens Lens::ofTheWindow() {
  const view::Pixel c = view::eyeToWindow({0.0, 0.0, -1.0});
  const view::Pixel u = view::eyeToWindow({1.0, 1.0, -1.0});
  return {c.x, c.y, u.x - c.x, u.y - c.y};
}

view::Vec3 eyeOfWorld(view::Vec3 world) {
  static const view::Vec3 offset = cameraOffset();
  return world + offset;
}

view::Vec3 worldOfEye(view::Vec3 eye) { return eye - eyeOfWorld({}); }

PictureFrame framePicture(const std::vector<view::Vec3>& world, const FramingTarget& target) {
  return Picture(world, target).frame();
}

}  // namespace importer
