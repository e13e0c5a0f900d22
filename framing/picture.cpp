// The shift of the world that frames the body's picture: closed forms at a
// given depth, and one bounded search for the depth.
#include "framing/parts.h"
#include "framing/point_tree.h"

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

// The points' window x found among their x and z, window y among y and z.
struct Trees {
  PointTree xz, yz;
};

class Picture {
 public:
  Picture(const std::vector<Vec3>& world, const FramingTarget& target,
          const std::optional<Vec3>& anchor, PointSearch search)
      : target_(target), lens_(Lens::ofTheWindow()) {
    eye_.reserve(world.size());
    for (const Vec3& p : world) eye_.push_back(eyeOfWorld(p));
    if (anchor) anchor_ = eyeOfWorld(*anchor);
    for (const Vec3& e : eye_) {
      nearest_ = std::max(nearest_, e.z), farthest_ = std::min(farthest_, e.z);
    }
    if (search == PointSearch::kTrees && treesAnswerExactly()) trees_ = makeTrees();
  }

  Vec3 frame(bool& nearLimited) {
    // Centred first, which shows what the picture's top is (without an anchor).
    if (!anchor_) findTopBand(solve(nearLimited));
    underFlame_ = true;
    return solve(nearLimited);
  }

 private:
  static double depth(const Vec3& e, double z) { return -(e.z + z); }

  // The sideways (upward) shift at depth z that shows the eye point with x
  // (y) and z on `column` (`row`).
  double toColumn(double x, double ez, double column, double z) const {
    return (column - lens_.cx) * -(ez + z) / lens_.kx - x;
  }
  double toRow(double y, double ez, double row, double z) const {
    return (row - lens_.cy) * -(ez + z) / lens_.ky - y;
  }
  // The sideways shift that puts the middle of points a and b on `column`.
  double toMiddle(size_t a, size_t b, double column, double z) const {
    const double da = depth(eye_[a], z), db = depth(eye_[b], z);
    return (2.0 * (column - lens_.cx) / lens_.kx - eye_[a].x / da - eye_[b].x / db) /
           (1.0 / da + 1.0 / db);
  }

  // The trees find what the walk finds as long as each expression below is
  // monotone in each coordinate: true of the shifts for any depth, and of the
  // window's x and y while every depth stays positive, which it does at
  // every depth the search tries (none nearer than zNearest()).
  bool treesAnswerExactly() const {
    bool finite = std::isfinite(lens_.cx) && std::isfinite(lens_.cy) && std::isfinite(lens_.kx) &&
                  std::isfinite(lens_.ky) && lens_.kx != 0.0 && lens_.ky != 0.0;
    for (double v : {target_.left, target_.right, target_.bottom, target_.top, target_.flameX}) {
      finite = finite && std::isfinite(v);
    }
    for (const Vec3& e : eye_) {
      finite = finite && std::isfinite(e.x) && std::isfinite(e.y) && std::isfinite(e.z);
    }
    return finite && !eye_.empty() && -(nearest_ + zNearest()) > 0.0;
  }
  Trees makeTrees() const {
    std::vector<PlanePoint> xz, yz;
    xz.reserve(eye_.size()), yz.reserve(eye_.size());
    for (size_t i = 0; i < eye_.size(); ++i) {
      xz.push_back({eye_[i].x, eye_[i].z, i});
      yz.push_back({eye_[i].y, eye_[i].z, i});
    }
    return {PointTree(std::move(xz)), PointTree(std::move(yz))};
  }

  // The least f(x or y, z) over the points and the first point to give it.
  template <typename F>
  Least least(F f, bool ofY) const {
    if (trees_) return (ofY ? trees_->yz : trees_->xz).least(f);
    Least best;
    for (size_t i = 0; i < eye_.size(); ++i) {
      const double v = f(ofY ? eye_[i].y : eye_[i].x, eye_[i].z);
      if (best.beatenBy(v, i)) best = {v, i};
    }
    return best;
  }
  // The greatest, and the first point to give it.
  template <typename F>
  Least most(F f, bool ofY) const {
    const Least l = least([&](double c, double z) { return -f(c, z); }, ofY);
    return {-l.value, l.index};
  }

  // The first points leftmost and rightmost in the window at shift s.
  Least leftmost(Vec3 s) const {
    return least([&](double x, double z) { return lens_.windowX(x + s.x, z + s.z); }, false);
  }
  Least rightmost(Vec3 s) const {
    return most([&](double x, double z) { return lens_.windowX(x + s.x, z + s.z); }, false);
  }

  PixelBox box(Vec3 s) const {
    PixelBox b;
    if (!trees_) {
      for (const Vec3& e : eye_) b.add(lens_.pixel(e + s));
      return b;
    }
    auto y = [&](double y, double z) { return lens_.windowY(y + s.y, z + s.z); };
    b.left = leftmost(s).value, b.right = rightmost(s).value;
    b.bottom = least(y, true).value, b.top = most(y, true).value;
    return b;
  }

  // The picture's middle on the target's: the extreme points settle.
  double centred(Vec3 s) const {
    for (int round = 0; round < 16; ++round) {
      const size_t left = leftmost(s).index, right = rightmost(s).index;
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
      s = {toColumn(anchor_->x, anchor_->z, target_.flameX, z),
           toRow(anchor_->y, anchor_->z, target_.top, z), z};
    } else {
      s.y = least([&](double y, double ez) { return toRow(y, ez, target_.top, z); }, true).value;
      s.x = underFlame_ ? toMiddle(bandLeft_, bandRight_, target_.flameX, z) : centred(s);
    }
    const PixelBox b = box(s);
    if (b.left < target_.left && b.right > target_.right) {
      s.x = centred(s);  // wider than the target
    } else if (b.left < target_.left) {
      s.x =
          most([&](double x, double ez) { return toColumn(x, ez, target_.left, z); }, false).value;
    } else if (b.right > target_.right) {
      s.x = least([&](double x, double ez) { return toColumn(x, ez, target_.right, z); }, false)
                .value;
    }
    return s;
  }

  // How far inside the target's bottom and width; grows with the distance.
  double slack(double z) const {
    const PixelBox b = box(placeAtDepth(z));
    return std::min(b.bottom - target_.bottom, (target_.right - target_.left) - b.width());
  }

  // Depths with the whole body between the near and far planes, and room to spare.
  double zNearest() const { return -kClosest - nearest_; }

  Vec3 solve(bool& nearLimited) const {
    double zNear = zNearest(), zFar = -0.95 * view::kFarPlane - farthest_;
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
  double nearest_ = -kInfinity, farthest_ = kInfinity;  // the points' greatest and least z
  std::optional<Vec3> anchor_;
  FramingTarget target_;
  Lens lens_;
  std::optional<Trees> trees_;  // none: every point is walked
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
                  const std::optional<Vec3>& anchor, bool& nearLimited, PointSearch search) {
  return Picture(world, target, anchor, search).frame(nearLimited);
}

}  // namespace framing
