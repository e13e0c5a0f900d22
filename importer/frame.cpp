#include "importer/frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "importer/frame_lid.h"
#include "importer/solve.h"

namespace importer {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Where the body may lie in the file: its larger extent about this many
// units, unless the reader's box needs it smaller (see placeBody).
constexpr double kFileSize = 10.0;

struct Bounds {
  view::Vec3 min{kInfinity, kInfinity, kInfinity};
  view::Vec3 max{-kInfinity, -kInfinity, -kInfinity};
  void add(view::Vec3 v) {
    min = {std::min(min.x, v.x), std::min(min.y, v.y), std::min(min.z, v.z)};
    max = {std::max(max.x, v.x), std::max(max.y, v.y), std::max(max.z, v.z)};
  }
  view::Vec3 size() const { return max - min; }
};

view::Vec3 meanOf(const std::vector<view::Vec3>& points) {
  view::Vec3 sum;
  for (view::Vec3 p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

// The picture does not depend on the model's units or where its origin
// lies: the body's size and middle are taken as the unit and the origin, so
// that every number the framing handles is near 1, for a model in
// micrometres as for one in light years.
struct Units {
  view::Vec3 middle;
  double size = 1.0;
};

Units unitsOf(const SourceMesh& body) {
  Bounds bounds;
  for (size_t i = 0; i < body.positions.size(); i += 3) {
    bounds.add({body.positions[i], body.positions[i + 1], body.positions[i + 2]});
  }
  const view::Vec3 size = bounds.size();
  return {0.5 * (bounds.min + bounds.max), std::max({size.x, size.y, size.z})};
}

std::vector<view::Vec3> designPoints(const SourceMesh& mesh, const Units& units) {
  std::vector<view::Vec3> points;
  points.reserve(mesh.vertexCount());
  for (size_t i = 0; i < mesh.positions.size(); i += 3) {
    const view::Vec3 p{mesh.positions[i], mesh.positions[i + 1], mesh.positions[i + 2]};
    points.push_back((1.0 / units.size) * (p - units.middle));
  }
  return points;
}

// The program scales the model by the larger of its extents along the
// file's x and y axes, which its quarter turn makes the depth and the height;
// the width plays no part. A body longer than it is high and deep would
// then show many times too large, and only far beyond the camera would it
// fit the rectangle. Two vertices that no face names, one in front of and
// one behind the body's middle, stretch its depth extent to its width: the
// program scales by them and draws nothing of them. Returns how many.
size_t addDepthMarkers(std::vector<view::Vec3>& design) {
  Bounds bounds;
  for (view::Vec3 p : design) bounds.add(p);
  const view::Vec3 size = bounds.size();
  if (size.x <= std::max(size.y, size.z)) return 0;
  const view::Vec3 middle = meanOf(design);
  design.push_back(middle + view::Vec3{0.0, 0.0, size.x / 2.0});
  design.push_back(middle - view::Vec3{0.0, 0.0, size.x / 2.0});
  return 2;
}

// The program turns the body by the view's body turn; the file holds it
// turned back, so that it shows upright and facing the viewer.
std::vector<view::Vec3> turnedBack(const std::vector<view::Vec3>& design) {
  const view::Mat3 back = view::transpose(view::rotation(view::kBodyTurn));
  std::vector<view::Vec3> out;
  out.reserve(design.size());
  for (view::Vec3 p : design) out.push_back(back * p);
  return out;
}

// The frame the program would derive from `points` if the reader's box
// started empty: the larger x or y extent and the mean.
view::MeshFrame exactFrame(const std::vector<view::Vec3>& points) {
  Bounds bounds;
  for (view::Vec3 p : points) bounds.add(p);
  view::MeshFrame frame;
  frame.maxExtent = std::max(bounds.size().x, bounds.size().y);
  frame.centerBase = meanOf(points);
  return frame;
}

// How near the eye the body may come, in world units: a body deep along the
// line of sight would fill the rectangle only so near that its front would
// look many times larger than its back. Closer than this it shows smaller.
constexpr double kClosest = 0.5;

// How much of the picture's height counts as its top, whose middle goes
// under the flame: a wick, a chimney, a spout, or the whole of a flat top.
constexpr double kTopBand = 0.03;

// Wherever the model lies in the file, the program shows the same shape,
// only shifted in the world: the picture is a function of one shift.
class Picture {
 public:
  Picture(std::vector<view::Vec3> world, const FramingTarget& target)
      : world_(std::move(world)), target_(target) {}

  // The shift that frames the body. First centred in the rectangle, which
  // shows what the top of the picture is; then with that top under the
  // flame, shifted no further than the rectangle allows.
  view::Vec3 frame() {
    subset_ = supportPoints();
    const view::Vec3 centred = solve();
    findTopBand(centred);
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
      for (size_t i = 0; i < world_.size(); ++i) {
        const view::Pixel p = view::worldToWindow(world_[i] + shift);
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
  // sides of a cube.
  std::vector<size_t> supportPoints() const {
    std::vector<size_t> out;
    for (int i = -1; i <= 1; ++i) {
      for (int j = -1; j <= 1; ++j) {
        for (int k = -1; k <= 1; ++k) {
          if (i == 0 && j == 0 && k == 0) continue;
          const view::Vec3 d{double(i), double(j), double(k)};
          size_t best = 0;
          double bestReach = -kInfinity;
          for (size_t n = 0; n < world_.size(); ++n) {
            const double reach = view::dot(world_[n], d);
            if (reach > bestReach) bestReach = reach, best = n;
          }
          out.push_back(best);
        }
      }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  }

  // The leftmost and rightmost of the points near the picture's top.
  void findTopBand(view::Vec3 shift) {
    const PixelBox all = box(shift, subset_);
    const double from = all.top - kTopBand * all.height();
    double left = kInfinity, right = -kInfinity;
    for (size_t i = 0; i < world_.size(); ++i) {
      const view::Pixel p = view::worldToWindow(world_[i] + shift);
      if (p.y < from) continue;
      if (p.x < left) left = p.x, bandLeft_ = i;
      if (p.x > right) right = p.x, bandRight_ = i;
    }
    subset_.push_back(bandLeft_);
    subset_.push_back(bandRight_);
  }

  PixelBox box(view::Vec3 shift, const std::vector<size_t>& points) const {
    PixelBox b;
    for (size_t i : points) b.add(view::worldToWindow(world_[i] + shift));
    return b;
  }

  double middleOfBox(view::Vec3 shift) const {
    const PixelBox b = box(shift, subset_);
    return (b.left + b.right) / 2.0;
  }

  // Where the picture's middle, or the middle of its top, shows.
  double middle(view::Vec3 shift) const {
    if (!underFlame_) return middleOfBox(shift);
    return (view::worldToWindow(world_[bandLeft_] + shift).x +
            view::worldToWindow(world_[bandRight_] + shift).x) /
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
    for (const view::Vec3& p : world_) {
      const double z = view::worldToEye(p).z;
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
  std::vector<size_t> subset_;
  bool underFlame_ = false;
  bool nearLimited_ = false;
  size_t bandLeft_ = 0;
  size_t bandRight_ = 0;
};

// Body file coordinates p = a f + t for the turned-back design points f. The
// program shows the same picture for every a > 0 once t is chosen to shift
// it into place; a is chosen so that the reader's box, whose maxima start at
// a tiny positive value, measures the body's true extent: some vertex must
// lie at positive x and some at positive y.
struct Placement {
  double a = 1.0;
  view::Vec3 t;
};

Placement placeBody(const std::vector<view::Vec3>& turned, const view::MeshFrame& reference,
                    view::Vec3 meanWorld) {
  auto tFor = [&](double a) {
    const Affine worldOfMean = sampleAffine([&](view::Vec3 t) {
      view::MeshFrame frame;
      frame.maxExtent = a * reference.maxExtent;
      frame.centerBase = a * reference.centerBase + t;
      return view::baseToWorld(frame, frame.centerBase);
    });
    return inverse(worldOfMean)(meanWorld);
  };
  // t is affine in a: t(a) = t0 + a slope.
  const view::Vec3 slope = tFor(2.0) - tFor(1.0);
  const view::Vec3 t0 = tFor(1.0) - slope;
  double lower = 0.0, upper = kInfinity;
  const double fixed[2] = {t0.x, t0.y};
  for (int axis = 0; axis < 2; ++axis) {
    double rise = -kInfinity;  // max over vertices of p along the axis, per unit of a
    for (view::Vec3 f : turned) rise = std::max(rise, axis == 0 ? f.x + slope.x : f.y + slope.y);
    if (rise < 0.0) {
      if (fixed[axis] <= 0.0) throw std::logic_error("framing: no placement clears the box");
      upper = std::min(upper, 0.5 * fixed[axis] / -rise);
    } else if (fixed[axis] <= 0.0) {
      lower = std::max(lower, 2.0 * -fixed[axis] / std::max(rise, 1e-300));
    }
  }
  const double a = std::clamp(kFileSize / reference.maxExtent, lower, upper);
  if (!(a > 0.0) || lower > upper || !std::isfinite(a)) {
    throw std::logic_error("framing: no placement clears the box");
  }
  return {a, t0 + a * slope};
}

datagen::Mesh fileMesh(const std::vector<view::Vec3>& points, const SourceMesh& faces) {
  datagen::Mesh mesh;
  mesh.vertices.reserve(points.size());
  for (view::Vec3 p : points) {
    mesh.vertices.push_back(
        {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
  }
  mesh.faces.reserve(faces.faceCount());
  for (size_t i = 0; i < faces.indices.size(); i += 3) {
    mesh.faces.push_back({static_cast<int>(faces.indices[i]),
                          static_cast<int>(faces.indices[i + 1]),
                          static_cast<int>(faces.indices[i + 2])});
  }
  return mesh;
}

std::string describe(const PixelBox& b) {
  return "x " + std::to_string(b.left) + " to " + std::to_string(b.right) + ", y " +
         std::to_string(b.bottom) + " to " + std::to_string(b.top);
}

// The files as written, through the program's view, must frame the body as
// solved; anything else is a fault of this code, not of the model.
void checkFraming(const PixelBox& b, bool nearLimited) {
  const FramingTarget t = framingTarget();
  constexpr double kTolerance = 0.5;
  const bool inside = b.left >= t.left - kTolerance && b.right <= t.right + kTolerance &&
                      b.bottom >= t.bottom - kTolerance && b.top <= t.top + kTolerance;
  const bool topped = std::abs(b.top - t.top) <= kTolerance;
  const bool fills =
      std::abs(b.bottom - t.bottom) <= kTolerance ||
      (std::abs(b.left - t.left) <= kTolerance && std::abs(b.right - t.right) <= kTolerance);
  if (!(inside && topped && (fills || nearLimited))) {
    throw std::logic_error("framing: the body shows at " + describe(b));
  }
}

}  // namespace

FramedModel frameModel(const SourceMesh& body, const SourceMesh* lid) {
  FramedModel out;
  const Units units = unitsOf(body);
  std::vector<view::Vec3> design = designPoints(body, units);
  const size_t drawn = design.size();
  out.depthMarkers = addDepthMarkers(design);

  const std::vector<view::Vec3> turned = turnedBack(design);
  const view::MeshFrame reference = exactFrame(turned);
  std::vector<view::Vec3> world;
  world.reserve(drawn);
  for (size_t i = 0; i < drawn; ++i) world.push_back(view::baseToWorld(reference, turned[i]));
  Picture picture(world, framingTarget());
  const view::Vec3 shift = picture.frame();
  out.tooDeep = picture.nearLimited();

  const Placement placement =
      placeBody(turned, reference, view::baseToWorld(reference, reference.centerBase) + shift);
  std::vector<view::Vec3> file;
  file.reserve(turned.size());
  for (view::Vec3 f : turned) file.push_back(placement.a * f + placement.t);
  out.base = fileMesh(file, body);
  out.facesDropped = dropFacesWithoutNormal(out.base);

  out.frame = programFrame(out.base.vertices, {});
  out.body = bodyPicture(out.base, out.frame);
  checkFraming(out.body, out.tooDeep);

  if (lid != nullptr) {
    BodyInView view;
    view.frame = out.frame;
    view.designToWorld = sampleAffine([&](view::Vec3 d) {
                           return view::baseToWorld(reference, turnedBack({d}).front());
                         }).m;
    view.picture = out.body;
    double depth = 0.0;
    for (const view::Vec3& p : world) depth += p.z;
    view.depth = depth / static_cast<double>(world.size()) + shift.z;
    PlacedLid placed = placeLid(designPoints(*lid, units), *lid, view);
    out.lid = std::move(placed.mesh);
    out.lidScale = placed.scale;
    out.facesDropped += dropFacesWithoutNormal(out.lid);
    out.frame = programFrame(out.base.vertices, out.lid.vertices);
    out.cover = lidPicture(out.lid, out.frame);
  }
  return out;
}

}  // namespace importer
