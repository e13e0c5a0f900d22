// The shift of the world that frames the body's picture: closed forms at a
// given depth, and one bounded search for the depth.
#include "framing/parts.h"

namespace framing {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// How near the eye the body may come, in world units: a body deep along the
// line of sight would fill the target only so near that its front would look
// many times larger than its back.
constexpr double kClosest = 0.5;
// The share of the picture's height whose middle goes under the flame: a
// wick, a chimney, a spout, or the whole of a flat top.
constexpr double kTopBand = 0.03;
constexpr int kDepthSteps = 64;  // leaves the depth far below a pixel's worth

class Picture {
 public:
  Picture(const std::vector<Vec3>& world, const FramingTarget& target,
          const std::optional<Vec3>& anchor)
      : target_(target), lens_(Lens::ofTheWindow()) {
    for (const Vec3& p : world) eye_.push_back(eyeOfWorld(p));
    if (anchor) anchor_ = eyeOfWorld(*anchor);
  }

  Vec3 frame(bool& nearLimited) {
    // Centred first, which shows what the picture's top is (without an anchor).
    if (!anchor_) findTopBand(solve(nearLimited));
    underFlame_ = true;
    return solve(nearLimited);
  }

 private:
  static double depth(const Vec3& e, double z) { return -(e.z + z); }

  // The sideways (upward) shift at depth z that shows `e` on `column` (`row`).
  double toColumn(const Vec3& e, double column, double z) const {
    return (column - lens_.cx) * depth(e, z) / lens_.kx - e.x;
  }
  double toRow(const Vec3& e, double row, double z) const {
    return (row - lens_.cy) * depth(e, z) / lens_.ky - e.y;
  }
  // The sideways shift that puts the middle of points a and b on `column`.
  double toMiddle(size_t a, size_t b, double column, double z) const {
    const double da = depth(eye_[a], z), db = depth(eye_[b], z);
    return (2.0 * (column - lens_.cx) / lens_.kx - eye_[a].x / da - eye_[b].x / db) /
           (1.0 / da + 1.0 / db);
  }

  PixelBox box(Vec3 s) const {
    PixelBox b;
    for (const Vec3& e : eye_) b.add(lens_.pixel(e + s));
    return b;
  }

  // The picture's middle on the target's: the extreme points settle.
  double centred(Vec3 s) const {
    for (int round = 0; round < 16; ++round) {
      size_t left = 0, right = 0;
      for (size_t i = 1; i < eye_.size(); ++i) {
        const double x = lens_.pixel(eye_[i] + s).x;
        if (x < lens_.pixel(eye_[left] + s).x) left = i;
        if (x > lens_.pixel(eye_[right] + s).x) right = i;
      }
      const double next = toMiddle(left, right, (target_.left + target_.right) / 2.0, s.z);
      if (next == s.x) break;
      s.x = next;
    }
    return s.x;
  }

  // At depth z: the top on the target row (first reached by the point that
  // needs the least shift) and the chosen middle on the column, moved back
  // inside the target's sides if that leaves them.
  Vec3 placeAtDepth(double z) const {
    Vec3 s{0.0, kInfinity, z};
    if (anchor_) {
      s = {toColumn(*anchor_, target_.flameX, z), toRow(*anchor_, target_.top, z), z};
    } else {
      for (const Vec3& e : eye_) s.y = std::min(s.y, toRow(e, target_.top, z));
      s.x = underFlame_ ? toMiddle(bandLeft_, bandRight_, target_.flameX, z) : centred(s);
    }
    const PixelBox b = box(s);
    if (b.left < target_.left && b.right > target_.right) {
      s.x = centred(s);  // wider than the target
    } else if (b.left < target_.left) {
      s.x = -kInfinity;
      for (const Vec3& e : eye_) s.x = std::max(s.x, toColumn(e, target_.left, z));
    } else if (b.right > target_.right) {
      s.x = kInfinity;
      for (const Vec3& e : eye_) s.x = std::min(s.x, toColumn(e, target_.right, z));
    }
    return s;
  }

  // How far inside the target's bottom and width; grows with the distance.
  double slack(double z) const {
    const PixelBox b = box(placeAtDepth(z));
    return std::min(b.bottom - target_.bottom, (target_.right - target_.left) - b.width());
  }

  Vec3 solve(bool& nearLimited) const {
    // Depths with the whole body between the near and far planes, and room to spare.
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
    double left = kInfinity, right = -kInfinity;
    for (size_t i = 0; i < eye_.size(); ++i) {
      const view::Pixel p = lens_.pixel(eye_[i] + s);
      if (p.y < all.top - kTopBand * all.height()) continue;
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

}  // namespace

Lens Lens::ofTheWindow() {
  const view::Pixel c = view::eyeToWindow({0.0, 0.0, -1.0}), u = view::eyeToWindow({1, 1, -1});
  return {c.x, c.y, u.x - c.x, u.y - c.y};
}

Vec3 eyeOfWorld(Vec3 world) {
  static const Vec3 offset = [] {
    const Vec3 origin = view::worldToEye({}), moved = view::worldToEye({1, 2, 4}) - origin;
    if (moved.x != 1.0 || moved.y != 2.0 || moved.z != 4.0) {
      throw std::logic_error("framing: the camera is not a pure translation");
    }
    return origin;
  }();
  return world + offset;
}

Vec3 worldOfEye(Vec3 eye) { return eye - eyeOfWorld({}); }

Vec3 framePicture(const std::vector<Vec3>& world, const FramingTarget& target,
                  const std::optional<Vec3>& anchor, bool& nearLimited) {
  return Picture(world, target, anchor).frame(nearLimited);
}

}  // namespace framing
