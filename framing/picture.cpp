// The shift of the world that frames the body's picture: closed forms at a
// given depth, and one bounded search for the depth.
#include <limits>

#include "framing/parts.h"

namespace framing {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// How near the eye the body may come, in world units: a body deep along the
// line of sight would fill the rectangle only so near that its front would
// look many times larger than its back. Closer than this it shows smaller.
constexpr double kClosest = 0.5;

// How much of the picture's height counts as its top, whose middle goes
// under the flame: a wick, a chimney, a spout, or the whole of a flat top.
constexpr double kTopBand = 0.03;

// Halving the depth's interval this often leaves it far below a pixel's worth.
constexpr int kDepthSteps = 64;

class Picture {
 public:
  Picture(const std::vector<Vec3>& world, const FramingTarget& target,
          const std::optional<Vec3>& anchor)
      : target_(target), lens_(Lens::ofTheWindow()) {
    for (const Vec3& p : world) eye_.push_back(eyeOfWorld(p));
    if (anchor) anchor_ = eyeOfWorld(*anchor);
  }

  PictureFrame frame() {
    PictureFrame out;
    if (!anchor_) {
      // First centred, which shows what the top of the picture is; then
      // with the middle of that top under the flame.
      findTopBand(solve(out.nearLimited));
      underFlame_ = true;
    }
    out.shift = solve(out.nearLimited);
    return out;
  }

 private:
  double depth(const Vec3& e, double z) const { return -(e.z + z); }
  double x(size_t i, Vec3 s) const { return lens_.pixel(eye_[i] + s).x; }

  // The sideways (or upward) shift at depth z that shows `e` on `column` (`row`).
  double shiftToColumn(const Vec3& e, double column, double z) const {
    return (column - lens_.cx) * depth(e, z) / lens_.kx - e.x;
  }
  double shiftToRow(const Vec3& e, double row, double z) const {
    return (row - lens_.cy) * depth(e, z) / lens_.ky - e.y;
  }

  PixelBox box(Vec3 s) const {
    PixelBox b;
    for (const Vec3& e : eye_) b.add(lens_.pixel(e + s));
    return b;
  }

  // The shift that puts the middle of points a and b on `column`.
  double shiftToMiddle(size_t a, size_t b, double column, double z) const {
    const double da = depth(eye_[a], z), db = depth(eye_[b], z);
    return (2.0 * (column - lens_.cx) / lens_.kx - eye_[a].x / da - eye_[b].x / db) /
           (1.0 / da + 1.0 / db);
  }

  // The middle of the whole picture on `column`: the extreme points change
  // with the shift only while it settles.
  double centre(Vec3 s, double column) const {
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

  // For a depth, the shift that puts the picture's top on the target row
  // and its middle (or its top's middle, or the anchor) on the target column,
  // moved back inside the target's sides if that leaves them. Each point
  // rises with the shift, so the top reaches the row first for the point
  // needing the least shift; the left side reaches a column last.
  Vec3 placeAtDepth(double z) const {
    Vec3 s{0.0, kInfinity, z};
    if (anchor_) {
      s.x = shiftToColumn(*anchor_, target_.flameX, z);
      s.y = shiftToRow(*anchor_, target_.top, z);
    } else {
      for (const Vec3& e : eye_) s.y = std::min(s.y, shiftToRow(e, target_.top, z));
      s.x = underFlame_ ? shiftToMiddle(bandLeft_, bandRight_, target_.flameX, z)
                        : centre(s, (target_.left + target_.right) / 2.0);
    }
    const PixelBox b = box(s);
    if (b.left < target_.left && b.right > target_.right) {
      s.x = centre(s, (target_.left + target_.right) / 2.0);  // wider than the target: centred
    } else if (b.left < target_.left) {
      s.x = -kInfinity;
      for (const Vec3& e : eye_) s.x = std::max(s.x, shiftToColumn(e, target_.left, z));
    } else if (b.right > target_.right) {
      s.x = kInfinity;
      for (const Vec3& e : eye_) s.x = std::min(s.x, shiftToColumn(e, target_.right, z));
    }
    return s;
  }

  // How far the picture stays inside the target's bottom and width; farther
  // means smaller, so it grows with the distance.
  double slack(double z) const {
    const PixelBox b = box(placeAtDepth(z));
    return std::min(b.bottom - target_.bottom, (target_.right - target_.left) - b.width());
  }

  Vec3 solve(bool& nearLimited) const {
    // Depths at which the whole body lies between the near and far planes,
    // with room to spare.
    double nearest = -kInfinity, farthest = kInfinity;
    for (const Vec3& e : eye_) nearest = std::max(nearest, e.z), farthest = std::min(farthest, e.z);
    double zNear = -kClosest - nearest, zFar = -0.95 * view::kFarPlane - farthest;
    if (!(zFar < zNear)) throw FrameError("the model is too deep to fit the program's view");
    if (slack(zFar) < 0.0) {
      throw FrameError("the model is too long and thin to show whole within the program's view");
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
  void findTopBand(Vec3 s) {
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

  std::vector<Vec3> eye_;
  std::optional<Vec3> anchor_;
  FramingTarget target_;
  Lens lens_;
  bool underFlame_ = false;
  size_t bandLeft_ = 0, bandRight_ = 0;
};

Vec3 cameraOffset() {
  const Vec3 origin = view::worldToEye({});
  const Vec3 moved = view::worldToEye({1.0, 2.0, 4.0}) - origin;
  if (moved.x != 1.0 || moved.y != 2.0 || moved.z != 4.0) {
    throw std::logic_error("framing: the camera is not a pure translation");
  }
  return origin;
}

}  // namespace

Lens Lens::ofTheWindow() {
  const view::Pixel c = view::eyeToWindow({0.0, 0.0, -1.0});
  const view::Pixel u = view::eyeToWindow({1.0, 1.0, -1.0});
  return {c.x, c.y, u.x - c.x, u.y - c.y};
}

Vec3 eyeOfWorld(Vec3 world) {
  static const Vec3 offset = cameraOffset();
  return world + offset;
}

Vec3 worldOfEye(Vec3 eye) { return eye - eyeOfWorld({}); }

PictureFrame framePicture(const std::vector<Vec3>& world, const FramingTarget& target,
                          const std::optional<Vec3>& anchor) {
  return Picture(world, target, anchor).frame();
}

}  // namespace framing
