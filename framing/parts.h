// The framing's pieces, shared by its files.
#pragma once

#include <cmath>

#include "framing/frame.h"
#include "mesh/measure.h"

namespace framing {

// p -> m p + b: the program's placement chain, sampled once at the origin
// and the unit points and applied to every vertex.
struct Affine {
  view::Mat3 m{};
  Vec3 b;
  Vec3 operator()(Vec3 p) const { return m * p + b; }
};
template <typename F>
Affine sampleAffine(F f) {
  Affine a;
  a.b = f(Vec3{});
  for (int j = 0; j < 3; ++j) {
    const Vec3 column = f(Vec3{j == 0 ? 1.0 : 0.0, j == 1 ? 1.0 : 0.0, j == 2 ? 1.0 : 0.0}) - a.b;
    a.m[0][j] = column.x, a.m[1][j] = column.y, a.m[2][j] = column.z;
  }
  return a;
}
inline Affine inverse(const Affine& a) {
  const view::Mat3 m = view::inverse(a.m);
  return {m, -1.0 * (m * a.b)};
}

// The box around the points, from infinities: HUGE_VAL everywhere for none.
using Bounds = Box<Vec3>;
Bounds boundsOf(const std::vector<Vec3>& points);
Vec3 meanOf(const std::vector<Vec3>& points);

// The window's projection: an eye point at depth d = -z shows at
// x = cx + kx x / d, y = cy + ky y / d.
struct Lens {
  double cx = 0.0, cy = 0.0, kx = 0.0, ky = 0.0;
  static Lens ofTheWindow();
  double windowX(double x, double z) const { return cx + kx * x / -z; }
  double windowY(double y, double z) const { return cy + ky * y / -z; }
  view::Pixel pixel(Vec3 eye) const { return {windowX(eye.x, eye.z), windowY(eye.y, eye.z)}; }
  Vec3 eyeAt(view::Pixel p, double z) const {  // the eye point at depth z that shows at p
    return {(p.x - cx) * -z / kx, (p.y - cy) * -z / ky, z};
  }
};
// The camera, checked once to be a pure translation (std::logic_error otherwise).
Vec3 eyeOfWorld(Vec3 world);
Vec3 worldOfEye(Vec3 eye);

// `world` holds the body's drawn vertices for some placement in the file.
// The shift of the world that puts the picture's top on the target's top
// row, the middle of that top (or `anchor`) under the flame (or the picture
// in the middle, when it is wider than the target), and the picture as
// large as the target allows; `nearLimited` when it could come no nearer
// the eye (a body much deeper than high and wide) and shows smaller.
// `search`: how the points at the picture's edges are found, through trees
// of boxes that skip most points or by walking every point; the shift is
// the same to the last bit (the walk is kept to check the trees against).
enum class PointSearch { kTrees, kEveryPoint };
Vec3 framePicture(const std::vector<Vec3>& world, const FramingTarget& target,
                  const std::optional<Vec3>& anchor, bool& nearLimited,
                  PointSearch search = PointSearch::kTrees);

// The world points of the lid (upright, in the body's units, closed) opened
// beside the top of the body `picture`, whose middle lies at world z `depth`,
// right of the flame; shrunk when it must be to fit the window (`scale`
// below 1). `designToWorld`: a length in the model as it shows in the world.
std::vector<Vec3> lidBeside(const std::vector<Vec3>& lid, const view::Mat3& designToWorld,
                            const PixelBox& picture, double depth, double& scale);
// The lid file's points that the program's tilt and offsets bring to `world`.
std::vector<Vec3> untilted(const std::vector<Vec3>& world, const view::MeshFrame& frame);

}  // namespace framing
