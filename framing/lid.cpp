// The lid: opened beside the body's top, and written so that the program's
// own tilt and offsets of the lid bring it where it belongs.
#include "dataset/lid.h"
#include "framing/parts.h"

namespace framing {

namespace {

// The flame rises from the window's centre as a column about 70 pixels wide
// at its foot; the lid keeps this far right of the centre, and this many
// pixels from the window's edges.
constexpr double kFlameClearance = 60.0;
constexpr double kWindowMargin = 2.0;

// The largest scale up to 1 at which the lid `open` (about its hinge at the
// origin), shrunk towards the hinge, stays in the window right of
// `clearance`. Each bound on a pixel times the depth is linear in the scale:
// a closed form. Half a pixel from the hinge counts as clear, as a lid
// shrunk to nothing lies at the hinge.
double largestFittingScale(const std::vector<Vec3>& open, Vec3 hinge,
                           const view::Mat3& designToWorld, double clearance) {
  const Lens lens = Lens::ofTheWindow();
  const Vec3 h = eyeOfWorld(hinge);
  struct Bound {
    double limit;  // on the pixel coordinate
    bool onX, upper;
  };
  const Bound bounds[4] = {{clearance - 0.5, true, false},
                           {view::kWindowWidth - kWindowMargin, true, true},
                           {kWindowMargin, false, false},
                           {view::kWindowHeight - kWindowMargin, false, true}};
  double scale = 1.0;
  for (const Vec3& p : open) {
    const Vec3 q = designToWorld * p;  // the point's offset from the hinge at scale 1
    for (const Bound& b : bounds) {
      // (pixel - limit) times the depth, g0 + s g1: kept >= 0, or <= 0 for an upper bound.
      const double k = b.onX ? lens.kx : lens.ky, c = b.onX ? lens.cx : lens.cy;
      const double g0 = k * (b.onX ? h.x : h.y) + (b.limit - c) * h.z;
      const double g1 = k * (b.onX ? q.x : q.y) + (b.limit - c) * q.z;
      if ((b.upper ? -g1 : g1) < 0.0) scale = std::min(scale, -g0 / g1);
    }
  }
  return scale;
}

}  // namespace

std::vector<Vec3> lidBeside(const std::vector<Vec3>& lid, const view::Mat3& designToWorld,
                            const PixelBox& picture, double depth, double& scale) {
  // Opened about its hinge, the edge along the line of sight through its lower
  // right corner, placed at the body's top right (or right of the flame).
  const Bounds box = boundsOf(lid);
  const Vec3 pivot{box.max.x, box.min.y, (box.min.z + box.max.z) / 2.0};
  const view::Mat3 opening = dataset::lidOpening();
  std::vector<Vec3> open;
  for (const Vec3& p : lid) open.push_back(opening * (p - pivot));
  const double clearance = view::flameOrigin().x + kFlameClearance;
  const view::Pixel hingePixel{std::max(picture.right, clearance), picture.top};
  const Vec3 hinge =
      worldOfEye(Lens::ofTheWindow().eyeAt(hingePixel, eyeOfWorld({0.0, 0.0, depth}).z));
  // As large as the model made it, unless that leaves the window.
  scale = largestFittingScale(open, hinge, designToWorld, clearance);
  if (!(scale > 0.0)) throw FrameError("the lid cannot be placed within the window");
  std::vector<Vec3> world;
  for (const Vec3& p : open) world.push_back(hinge + designToWorld * (scale * p));
  return world;
}

// The program draws a lid vertex q at the body's chain applied to
//   tilt q + drop + lift - mean(q),
// so the body-file points P that the lid must land on give q back as
//   q = tilt^T (P - drop - lift + c),   c = mean(q).
// The tilt leaves its own axis u alone, so c exists only if mean(P) lies at
// drop + lift along u: the program puts the lid's middle there, whatever the
// file says. The lid is first moved to that depth by scaling it about the
// eye, which leaves its picture as it is.
std::vector<Vec3> untilted(const std::vector<Vec3>& world, const view::MeshFrame& frame) {
  const Affine toBodyFile =
      inverse(sampleAffine([&](Vec3 p) { return view::baseToWorld(frame, p); }));
  const Vec3 offset = view::kLidDrop + view::kLidLift;
  const Vec3 axis = (1.0 / view::length(view::kLidTilt.axis)) * view::kLidTilt.axis;
  const Vec3 eye = view::kEye, middle = meanOf(world);
  auto alongAxis = [&](double k) {
    return view::dot(axis, toBodyFile(eye + k * (middle - eye)) - offset);
  };
  const double k = -alongAxis(0.0) / (alongAxis(1.0) - alongAxis(0.0));
  if (!(k > 0.0) || !std::isfinite(k)) throw std::logic_error("lid: no depth to scale it to");

  std::vector<Vec3> landed;
  for (const Vec3& w : world) {
    const Vec3 moved = eye + k * (w - eye);
    const double eyeZ = view::worldToEye(moved).z;
    if (!(eyeZ < -view::kNearPlane && eyeZ > -view::kFarPlane)) {
      throw FrameError("the lid cannot be placed within the program's view");
    }
    landed.push_back(toBodyFile(moved));
  }
  const view::Mat3 back = view::transpose(view::rotation(view::kLidTilt));
  const double a[3] = {axis.x, axis.y, axis.z};
  view::Mat3 m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m[i][j] = (i == j ? 1.0 : 0.0) - back[i][j] + a[i] * a[j];
  }
  const Vec3 c = view::inverse(m) * (back * (meanOf(landed) - offset));
  std::vector<Vec3> out;
  for (const Vec3& p : landed) out.push_back(back * (p - offset + c));
  return out;
}

}  // namespace framing
