// What the program makes of the files the importer writes: the frame it
// derives from them, where their vertices show in its window, and which faces
// it could not give a normal. Everything goes through the program's own
// view (view/view_model.h); nothing here repeats its numbers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "dataset/mesh.h"
#include "mesh/mesh.h"
#include "view/view_model.h"

namespace importer {

// p -> m p + b. The program's placement chain is affine in the point, so it
// is sampled once (sampleAffine) and applied to every vertex.
struct Affine {
  view::Mat3 m{};
  view::Vec3 b;
  view::Vec3 operator()(view::Vec3 p) const { return m * p + b; }
};

// The affine map that `f` is, from its values at the origin and the three
// unit points.
template <typename F>
Affine sampleAffine(F f) {
  Affine a;
  a.b = f(view::Vec3{});
  const view::Vec3 columns[3] = {f(view::Vec3{1.0, 0.0, 0.0}) - a.b,
                                 f(view::Vec3{0.0, 1.0, 0.0}) - a.b,
                                 f(view::Vec3{0.0, 0.0, 1.0}) - a.b};
  for (int j = 0; j < 3; ++j) {
    a.m[0][j] = columns[j].x;
    a.m[1][j] = columns[j].y;
    a.m[2][j] = columns[j].z;
  }
  return a;
}

// Throws std::domain_error when `m` has no inverse.
view::Mat3 inverse(const view::Mat3& m);
Affine inverse(const Affine& a);

// The smallest box around points, and their mean, in doubles.
struct Bounds {
  view::Vec3 min{HUGE_VAL, HUGE_VAL, HUGE_VAL};
  view::Vec3 max{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  void add(view::Vec3 v) {
    min = {std::min(min.x, v.x), std::min(min.y, v.y), std::min(min.z, v.z)};
    max = {std::max(max.x, v.x), std::max(max.y, v.y), std::max(max.z, v.z)};
  }
  view::Vec3 size() const { return max - min; }
};
Bounds boundsOf(const std::vector<view::Vec3>& points);
view::Vec3 meanOf(const std::vector<view::Vec3>& points);

// A coordinate as the program reads it: a float.
Vector3 asFloats(const view::Vec3& v);
inline view::Vec3 asView(const Vector3& v) { return {v.x, v.y, v.z}; }

// Which vertices the mesh's faces name: only those are drawn.
std::vector<bool> drawnVertices(const dataset::Mesh& mesh);

// The program's frame from the two meshes' vertices as the files hold them:
// centres summed in 32-bit floats in file order, the extent from the box with
// the reader's start values, exactly as the program's reader and preparation
// compute them.
view::MeshFrame programFrame(const std::vector<view::Vec3>& base,
                             const std::vector<view::Vec3>& lid);

// A rectangle of window pixels, y up from the bottom edge.
struct PixelBox {
  double left = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double bottom = std::numeric_limits<double>::infinity();
  double top = -std::numeric_limits<double>::infinity();

  bool empty() const { return left > right; }
  void add(view::Pixel p) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    bottom = std::min(bottom, p.y);
    top = std::max(top, p.y);
  }
  double width() const { return right - left; }
  double height() const { return top - bottom; }
};

// The picture of the vertices that faces name, body or lid.
PixelBox bodyPicture(const dataset::Mesh& base, const view::MeshFrame& frame);
PixelBox lidPicture(const dataset::Mesh& lid, const view::MeshFrame& frame);

// Where the body's picture belongs: inside the click rectangle (a quarter
// pixel in from its left, right and bottom sides, so that the pixels along
// them light), its top on the row the flame rises from, and the middle of
// its top under the flame's column as far as the rectangle allows.
struct FramingTarget {
  double left = 0.0;
  double right = 0.0;
  double bottom = 0.0;
  double top = 0.0;
  double flameX = 0.0;
  double centreX() const { return (left + right) / 2.0; }
};
FramingTarget framingTarget();

// Drops the faces whose normal the program's reader would compute as not a
// number (corners that coincide or lie on a line once written as floats),
// computed in 32-bit floats exactly as the reader does. Returns how many.
size_t dropFacesWithoutNormal(dataset::Mesh& mesh);

// Vertices of either mesh where the program's view puts them in the world.
std::vector<view::Vec3> baseWorld(const dataset::Mesh& base, const view::MeshFrame& frame);
std::vector<view::Vec3> lidWorld(const dataset::Mesh& lid, const view::MeshFrame& frame);

}  // namespace importer
