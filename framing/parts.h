// The framing's pieces, shared by its files: affine maps, the window's lens,
// the picture's search and the lid's placement.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "framing/frame.h"

namespace framing {

// p -> m p + b. The program's placement chain is affine in the point, so it
// is sampled once and applied to every vertex.
struct Affine {
  view::Mat3 m{};
  Vec3 b;
  Vec3 operator()(Vec3 p) const { return m * p + b; }
};

// The affine map that `f` is, from its values at the origin and the three
// unit points.
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
// Throw std::domain_error when there is no inverse.
view::Mat3 inverse(const view::Mat3& m);
Affine inverse(const Affine& a);

// The smallest box around points, and their mean, in doubles.
struct Bounds {
  Vec3 min{HUGE_VAL, HUGE_VAL, HUGE_VAL};
  Vec3 max{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  Vec3 size() const { return max - min; }
};
Bounds boundsOf(const std::vector<Vec3>& points);
Vec3 meanOf(const std::vector<Vec3>& points);

// The projection of the program's window: an eye point at depth d = -z shows
// at x = cx + kx x / d, y = cy + ky y / d.
struct Lens {
  double cx = 0.0, cy = 0.0, kx = 0.0, ky = 0.0;
  static Lens ofTheWindow();
  view::Pixel pixel(Vec3 eye) const { return {cx + kx * eye.x / -eye.z, cy + ky * eye.y / -eye.z}; }
  // The eye point at depth `z` (negative) that shows at `p`.
  Vec3 eyeAt(view::Pixel p, double z) const {
    return {(p.x - cx) * -z / kx, (p.y - cy) * -z / ky, z};
  }
};
// The camera is a pure translation (checked once, std::logic_error otherwise).
Vec3 eyeOfWorld(Vec3 world);
Vec3 worldOfEye(Vec3 eye);

struct PictureFrame {
  Vec3 shift;
  // The body shows smaller than the rectangle because it could come no
  // nearer the eye: a body much deeper than high and wide.
  bool nearLimited = false;
};
// `world` holds the body's drawn vertices for some placement in the file.
// The shift of the world that puts the picture's top on the target's top
// row, the middle of that top (or `anchor`) under the flame (or the picture
// in the middle, when it is wider than the target), and the picture as
// large as the target allows.
PictureFrame framePicture(const std::vector<Vec3>& world, const FramingTarget& target,
                          const std::optional<Vec3>& anchor);

// The body as the program shows it, which the lid is placed beside.
struct BodyInView {
  view::MeshFrame frame;       // from the body file
  view::Mat3 designToWorld{};  // a length in the model as it shows in the world
  PixelBox picture;
  double depth = 0.0;  // world z of the body's middle
};
// `lid` holds the lid's points upright, in the body's units, closed. The
// world points of the lid opened beside the body's top, right of the flame,
// and the scale (below 1 when it had to shrink to fit the window).
std::vector<Vec3> lidBeside(const std::vector<Vec3>& lid, const BodyInView& body, double& scale);
// The lid file's points that the program's tilt and offsets bring to `world`.
std::vector<Vec3> untilted(const std::vector<Vec3>& world, const view::MeshFrame& frame);

}  // namespace framing
