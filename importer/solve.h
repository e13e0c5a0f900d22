// Affine maps for placing the model: sampled from a function (the program's
// placement chain is affine in the point), and their inverses.
#pragma once

#include <cmath>
#include <stdexcept>

#include "view/view_model.h"

namespace importer {

// p -> m p + b.
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

}  // namespace importer
