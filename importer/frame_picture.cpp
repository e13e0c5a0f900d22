#include "importer/frame_picture.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "importer/records.h"
#include "importer/solve.h"

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

// The picture of the body's world points under a shift.
class BodyPicture {
 public:
  // The camera is a rigid move, so each point's eye coordinates are taken
  // once and a shift of the world moves them all by the same amount.
  BodyPicture(std::vector<view::Vec3> world, const FramingTarget& target)
      : world_(std::move(world)), target_(target), eyeOrigin_(view::worldToEye({})) {
    eye_.reserve(world_.size());
    for (const view::Vec3& p : world_) eye_.push_back(view::worldToEye(p));
  }

  // The shift that frames the body. First centred in the rectangle, on the
  // points that bound it, which shows what the top of the picture is; then
  // with that top under the flame, shifted no further than the rectangle
  // allows.
  view::Vec3 frame() {
    subset_ = supportPoints();
    findTopBand(solveOnSubset());
    underFlame_ = true;
    return solve();
  }

  // Whether the body shows smaller than the rectangle because it could come
  // no nearer: a body much deeper than high and wide.
  bool nearLimited() const { return nearLimited_; }

 private:
  // Solved on a few points that bound the picture, then checked on every
  // point, adding those that stick out, until none does.
  view::Vec3 solve() {
    for (int round = 0; round < 64; ++round) {
      const view::Vec3 shift = solveOnSubset();
      const PixelBox part = box(shift, subset_);
      const size_t before = subset_.size();
      const view::Vec3 eyeShift = eyeShiftOf(shift);
      for (size_t i = 0; i < world_.size(); ++i) {
        const view::Pixel p = view::eyeToWindow(eye_[i] + eyeShift);
        constexpr double kSlack = 1e-9;
        if (p.x < part.left - kSlack || p.x > part.right + kSlack || p.y < part.bottom - kSlack ||
            p.y > part.top + kSlack) {
          subset_.push_back(i);
        }
      }
      if (subset_.size() == before) return shift;
    }
    throw std::logic_error("framing: the picture's bounds do not settle");
  }

  // The points farthest along the 26 directions to the corners, edges and
  // sides of a cube: the farthest and the nearest along 13 of them, in one
  // pass over the points.
  std::vector<size_t> supportPoints() const {
    std::vector<view::Vec3> directions;
    for (int i = -1; i <= 1; ++i) {
      for (int j = -1; j <= 1; ++j) {
        for (int k = -1; k <= 1; ++k) {
          if (i > 0 || (i == 0 && (j > 0 || (j == 0 && k > 0)))) {
            directions.push_back({double(i), double(j), double(k)});
          }
        }
      }
    }
    std::vector<double> most(directions.size(), -kInfinity), least(directions.size(), kInfinity);
    std::vector<size_t> farthest(directions.size(), 0), nearest(directions.size(), 0);
    for (size_t n = 0; n < world_.size(); ++n) {
      for (size_t d = 0; d < directions.size(); ++d) {
        const view::Vec3& p = world_[n];
        const view::Vec3& u = directions[d];
        const double reach = p.x * u.x + p.y * u.y + p.z * u.z;
        if (reach > most[d]) most[d] = reach, farthest[d] = n;
        if (reach < least[d]) least[d] = reach, nearest[d] = n;
      }
    }
    std::vector<size_t> out = farthest;
    out.insert(out.end(), nearest.begin(), nearest.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }

  // The leftmost and rightmost of the points near the picture's top.
  void findTopBand(view::Vec3 shift) {
    const PixelBox all = box(shift, subset_);
    const double from = all.top - kTopBand * all.height();
    double left = kInfinity, right = -kInfinity;
    const view::Vec3 eyeShift = eyeShiftOf(shift);
    for (size_t i = 0; i < world_.size(); ++i) {
      const view::Pixel p = view::eyeToWindow(eye_[i] + eyeShift);
      if (p.y < from) continue;
      if (p.x < left) left = p.x, bandLeft_ = i;
      if (p.x > right) right = p.x, bandRight_ = i;
    }
    subset_.push_back(bandLeft_);
    subset_.push_back(bandRight_);
  }

  view::Vec3 eyeShiftOf(view::Vec3 shift) const { return view::worldToEye(shift) - eyeOrigin_; }

  PixelBox box(view::Vec3 shift, const std::vector<size_t>& points) const {
    const view::Vec3 eyeShift = eyeShiftOf(shift);
    PixelBox b;
    for (size_t i : points) b.add(view::eyeToWindow(eye_[i] + eyeShift));
    return b;
  }

  double middleOfBox(view::Vec3 shift) const {
    const PixelBox b = box(shift, subset_);
    return (b.left + b.right) / 2.0;
  }

  // Where the picture's middle, or the middle of its top, shows.
  double middle(view::Vec3 shift) const {
    if (!underFlame_) return middleOfBox(shift);
    const view::Vec3 eyeShift = eyeShiftOf(shift);
    return (view::eyeToWindow(eye_[bandLeft_] + eyeShift).x +
            view::eyeToWindow(eye_[bandRight_] + eyeShift).x) /
           2.0;
  }

  // For a depth, the sideways and upward shift that puts the picture's top
  // on the target row and its middle (or its top's middle) on the target
  // column, moved back inside the rectangle's sides if that leaves them.
  view::Vec3 placeAtDepth(double z) const {
    view::Vec3 s{0.0, 0.0, z};
    const double column = underFlame_ ? target_.flameX : target_.centreX();
    for (int round = 0; round < 4; ++round) {
      const view::Vec3 before = s;
      s.y = solveIncreasing(
          [&](double y) {
            return box({s.x, y, z}, subset_).top;
          },
          target_.top, s.y, 0.01);
      s.x = solveIncreasing([&](double x) { return middle({x, s.y, z}); }, column, s.x, 0.01);
      const PixelBox b = box(s, subset_);
      if (b.left < target_.left && b.right > target_.right) {
        // Wider than the rectangle at this depth: centred, for the slack to see.
        s.x = solveIncreasing(
            [&](double x) {
              return middleOfBox({x, s.y, z});
            },
            target_.centreX(), s.x, 0.01);
      } else if (b.left < target_.left) {
        s.x = solveIncreasing(
            [&](double x) {
              return box({x, s.y, z}, subset_).left;
            },
            target_.left, s.x, 0.01);
      } else if (b.right > target_.right) {
        s.x = solveIncreasing(
            [&](double x) {
              return box({x, s.y, z}, subset_).right;
            },
            target_.right, s.x, 0.01);
      }
      if (view::length(s - before) < 1e-12 * (1.0 + view::length(s))) break;
    }
    return s;
  }

  // How far the picture stays inside the rectangle's bottom and width.
  double slack(double z) const {
    const PixelBox b = box(placeAtDepth(z), subset_);
    return std::min(b.bottom - target_.bottom, (target_.right - target_.left) - b.width());
  }

  view::Vec3 solveOnSubset() {
    // Depths at which the whole body lies between the near and far planes
    // (with room to spare); eye depth changes with world z at a fixed rate.
    const double rate = view::worldToEye({0.0, 0.0, 1.0}).z - view::worldToEye({}).z;
    double nearest = -kInfinity, farthest = kInfinity;
    for (const view::Vec3& e : eye_) {
      const double z = e.z;
      nearest = std::max(nearest, z);
      farthest = std::min(farthest, z);
    }
    const double zNear = (-kClosest - nearest) / rate;
    const double zFar = (-0.95 * view::kFarPlane - farthest) / rate;
    if (!(zFar < zNear)) throw ImportError("the model is too deep to fit the program's view");
    // Farther means smaller: the slack grows with distance.
    auto slackAtDistance = [&](double distance) { return slack(-distance); };
    if (slackAtDistance(-zFar) < 0.0) {
      throw ImportError("the model is too long and thin to show whole within the program's view");
    }
    if (slackAtDistance(-zNear) >= 0.0) {
      nearLimited_ = true;
      return placeAtDepth(zNear);
    }
    nearLimited_ = false;
    return placeAtDepth(-solveIncreasingIn(slackAtDistance, 0.0, -zNear, -zFar));
  }

  std::vector<view::Vec3> world_;
  FramingTarget target_;
  view::Vec3 eyeOrigin_;
  std::vector<view::Vec3> eye_;
  std::vector<size_t> subset_;
  bool underFlame_ = false;
  bool nearLimited_ = false;
  size_t bandLeft_ = 0;
  size_t bandRight_ = 0;
};

}  // namespace

PictureFrame framePicture(std::vector<view::Vec3> world, const FramingTarget& target) {
  BodyPicture picture(std::move(world), target);
  PictureFrame out;
  out.shift = picture.frame();
  out.nearLimited = picture.nearLimited();
  return out;
}

}  // namespace importer
