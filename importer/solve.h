// Small numeric tools for placing the model: affine maps sampled from a
// function, their inverses, and a root finder for increasing functions.
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
view::Mat3 product(const view::Mat3& a, const view::Mat3& b);

// The x in [lo, hi] at which the increasing function f reaches `target`;
// f(lo) <= target <= f(hi) is required (std::domain_error otherwise).
template <typename F>
double solveIncreasingIn(F f, double target, double lo, double hi) {
  double fLo = f(lo) - target, fHi = f(hi) - target;
  if (!(fLo <= 0.0 && fHi >= 0.0)) throw std::domain_error("not a bracket");
  if (fLo == 0.0) return lo;
  if (fHi == 0.0) return hi;
  // Regula falsi with the Illinois step: near-linear functions converge in a
  // handful of steps, and the bracket keeps it safe for the rest.
  int side = 0;
  for (int i = 0; i < 200 && hi - lo > 1e-13 * (std::abs(lo) + std::abs(hi)); ++i) {
    const double x = (lo * fHi - hi * fLo) / (fHi - fLo);
    if (!(x > lo && x < hi)) break;
    const double fx = f(x) - target;
    if (fx == 0.0) return x;
    if (fx > 0.0) {
      hi = x, fHi = fx;
      if (side == 1) fLo /= 2.0;
      side = 1;
    } else {
      lo = x, fLo = fx;
      if (side == -1) fHi /= 2.0;
      side = -1;
    }
  }
  return fHi < -fLo ? hi : lo;
}

// The same without a bracket: searched from `start` outwards in steps that
// begin at `step` and double, at most `maxDoublings` times.
template <typename F>
double solveIncreasing(F f, double target, double start, double step, int maxDoublings = 80) {
  const double f0 = f(start) - target;
  if (f0 == 0.0) return start;
  double inner = start;
  for (int i = 0; i < maxDoublings; ++i, step *= 2.0) {
    const double outer = f0 < 0.0 ? start + step : start - step;
    const double fOuter = f(outer) - target;
    if ((fOuter > 0.0) != (f0 > 0.0) || fOuter == 0.0) {
      return f0 < 0.0 ? solveIncreasingIn(f, target, inner, outer)
                      : solveIncreasingIn(f, target, outer, inner);
    }
    inner = outer;
  }
  throw std::domain_error("no bracket");
}

}  // namespace importer
