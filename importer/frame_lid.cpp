#include "importer/frame_lid.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "importer/solve.h"

namespace importer {

namespace {

// How far the lid stands open from closed, clockwise seen from the front,
// about its lower right edge: as the shipped lid stands.
constexpr double kLidOpenDegrees = 110.0;

// The flame rises from the window's centre as a column about 70 pixels
// wide at its foot (particles one unit wide, ten units from the eye). The
// lid keeps this far to the right of the centre.
constexpr double kFlameClearance = 60.0;

// Pixels the lid keeps from the window's edges.
constexpr double kWindowMargin = 2.0;

view::Vec3 meanOf(const std::vector<view::Vec3>& points) {
  view::Vec3 sum;
  for (view::Vec3 p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

// The lid opened about its hinge, the edge along the line of sight through
// its lower right corner, which ends up at the origin.
std::vector<view::Vec3> opened(const std::vector<view::Vec3>& lid) {
  view::Vec3 hinge{-HUGE_VAL, HUGE_VAL, 0.0};
  double zMin = HUGE_VAL, zMax = -HUGE_VAL;
  for (view::Vec3 p : lid) {
    hinge.x = std::max(hinge.x, p.x);
    hinge.y = std::min(hinge.y, p.y);
    zMin = std::min(zMin, p.z);
    zMax = std::max(zMax, p.z);
  }
  hinge.z = (zMin + zMax) / 2.0;
  // Clockwise seen from the front (from +z) is a negative turn about +z.
  const view::Mat3 open = view::rotation({-kLidOpenDegrees, {0.0, 0.0, 1.0}});
  std::vector<view::Vec3> out;
  out.reserve(lid.size());
  for (view::Vec3 p : lid) out.push_back(open * (p - hinge));
  return out;
}

// The world point at depth z that shows at `pixel`: at a fixed depth the
// pixel is affine in x and y, so two corrections find it.
view::Vec3 worldAtPixel(view::Pixel pixel, double z) {
  view::Vec3 p{0.0, 0.0, z};
  for (int i = 0; i < 3; ++i) {
    const view::Pixel at = view::worldToWindow(p);
    const view::Pixel dx = view::worldToWindow(p + view::Vec3{1.0, 0.0, 0.0});
    const view::Pixel dy = view::worldToWindow(p + view::Vec3{0.0, 1.0, 0.0});
    const double a = dx.x - at.x, b = dy.x - at.x, c = dx.y - at.y, d = dy.y - at.y;
    const double det = a * d - b * c;
    const double ex = pixel.x - at.x, ey = pixel.y - at.y;
    p.x += (d * ex - b * ey) / det;
    p.y += (a * ey - c * ex) / det;
  }
  return p;
}

PixelBox pictureOf(const std::vector<view::Vec3>& world) {
  PixelBox box;
  for (view::Vec3 p : world) box.add(view::worldToWindow(p));
  return box;
}

// Within half a pixel of the hinge counts as clear: a lid shrunk to nothing
// lies at the hinge itself.
bool fits(const PixelBox& b, double clearance) {
  return b.left >= clearance - 0.5 && b.right <= view::kWindowWidth - kWindowMargin &&
         b.bottom >= kWindowMargin && b.top <= view::kWindowHeight - kWindowMargin;
}

// The program draws a lid vertex q at the body's chain applied to
//   tilt q + drop + lift - mean(q),
// so the body-file points P that the lid must land on give q back as
//   q = tilt^T (P - drop - lift + c),   c = mean(q).
// The tilt leaves its own axis u alone, so c exists only if mean(P) lies at
// drop + lift along u: the program puts the lid's middle there, whatever the
// file says. The lid is first moved to that depth by scaling it about the
// eye, which leaves its picture as it is.
std::vector<view::Vec3> untilted(const std::vector<view::Vec3>& world,
                                 const view::MeshFrame& frame) {
  const Affine toBodyFile =
      inverse(sampleAffine([&](view::Vec3 p) { return view::baseToWorld(frame, p); }));
  const view::Vec3 offset = view::kLidDrop + view::kLidLift;
  const view::Vec3 axis = (1.0 / view::length(view::kLidTilt.axis)) * view::kLidTilt.axis;
  const view::Vec3 eye = view::kEye;
  const view::Vec3 middle = meanOf(world);
  auto alongAxis = [&](double k) {
    return view::dot(axis, toBodyFile(eye + k * (middle - eye)) - offset);
  };
  const double k = -alongAxis(0.0) / (alongAxis(1.0) - alongAxis(0.0));
  if (!(k > 0.0) || !std::isfinite(k)) throw std::logic_error("lid: no depth to scale it to");

  std::vector<view::Vec3> landed;
  landed.reserve(world.size());
  for (view::Vec3 w : world) {
    const view::Vec3 moved = eye + k * (w - eye);
    const double eyeZ = view::worldToEye(moved).z;
    if (!(eyeZ < -view::kNearPlane && eyeZ > -view::kFarPlane)) {
      throw ImportError("the lid cannot be placed within the program's view");
    }
    landed.push_back(toBodyFile(moved));
  }
  const view::Mat3 back = view::transpose(view::rotation(view::kLidTilt));
  view::Mat3 m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const double a[3] = {axis.x, axis.y, axis.z};
      m[i][j] = (i == j ? 1.0 : 0.0) - back[i][j] + a[i] * a[j];
    }
  }
  const view::Vec3 c = inverse(m) * (back * (meanOf(landed) - offset));
  std::vector<view::Vec3> out;
  out.reserve(landed.size());
  for (view::Vec3 p : landed) out.push_back(back * (p - offset + c));
  return out;
}

}  // namespace

PlacedLid placeLid(const std::vector<view::Vec3>& lid, const SourceMesh& faces,
                   const BodyInView& body) {
  const std::vector<view::Vec3> open = opened(lid);
  const double clearance = view::flameOrigin().x + kFlameClearance;
  const view::Pixel hingePixel{std::max(body.picture.right, clearance), body.picture.top};
  const view::Vec3 hinge = worldAtPixel(hingePixel, body.depth);

  auto placedAt = [&](double scale) {
    std::vector<view::Vec3> world;
    world.reserve(open.size());
    for (view::Vec3 p : open) world.push_back(hinge + body.designToWorld * (scale * p));
    return world;
  };
  // As large as the model made it, unless that leaves the window: then as
  // large as fits, shrunk towards the hinge.
  double scale = 1.0;
  if (!fits(pictureOf(placedAt(1.0)), clearance)) {
    double lo = 0.0, hi = 1.0;
    for (int i = 0; i < 50; ++i) {
      const double mid = (lo + hi) / 2.0;
      (fits(pictureOf(placedAt(mid)), clearance) ? lo = mid : hi = mid);
    }
    scale = lo;
    if (!(scale > 0.0)) throw ImportError("the lid cannot be placed within the window");
  }

  PlacedLid out;
  out.scale = scale;
  for (view::Vec3 q : untilted(placedAt(scale), body.frame)) {
    out.mesh.vertices.push_back(
        {static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z)});
  }
  for (size_t i = 0; i < faces.indices.size(); i += 3) {
    out.mesh.faces.push_back({static_cast<int>(faces.indices[i]),
                              static_cast<int>(faces.indices[i + 1]),
                              static_cast<int>(faces.indices[i + 2])});
  }
  return out;
}

}  // namespace importer
