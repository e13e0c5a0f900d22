// Points of a plane in a tree of boxes, for finding the point that gives an
// expression its least value without evaluating it at most of the points.
// The answer is exactly the one a walk over every point in order finds.
//
// Why a box may be skipped whole: IEEE arithmetic rounds monotonically (if
// x <= y then x + c <= y + c, x * c <= y * c for c >= 0, x / c <= y / c for
// c > 0, each rounded), so an expression of the two coordinates that, on the
// box, rises or falls with each one for every value of the other still does
// once every step is rounded. Then no point of the box gives less than the
// expression gives, computed the same way, at the least of the box's four
// corners: f(a, b) >= min(f(aLow, b), f(aHigh, b)) >= the least corner.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

namespace framing {

// A point (a, b) and its place in the list it came from.
struct PlanePoint {
  double a = 0.0, b = 0.0;
  size_t index = 0;
};

// A least value and the first point of the list to give it.
struct Least {
  double value = std::numeric_limits<double>::infinity();
  size_t index = std::numeric_limits<size_t>::max();
  // Whether `v` at point `i` comes before this in a walk keeping the first least.
  bool beatenBy(double v, size_t i) const { return v < value || (v == value && i < index); }
};

class PointTree {
 public:
  // The points' coordinates must be finite.
  explicit PointTree(std::vector<PlanePoint> points);

  // The least f(a, b) over the points and the first point (by index) to give
  // it, as `if (f(p) < least) least = f(p)` over the list in order finds it;
  // none (an infinite value) for no points. f must be monotone in each
  // coordinate on the points' box, for every value of the other (which way
  // may depend on that value), give no NaN there, and not tell a zero's sign.
  template <typename F>
  Least least(F f) const;

 private:
  struct Node {
    double aLow = 0.0, aHigh = 0.0, bLow = 0.0, bHigh = 0.0;
    size_t firstIndex = 0;  // the least index of its points
    size_t begin = 0, end = 0;
    size_t second = 0;  // its second child (the first is the next node); 0 for a leaf
  };
  size_t build(size_t begin, size_t end);

  std::vector<PlanePoint> points_;  // in the order of the leaves
  std::vector<Node> nodes_;         // the root first, each node before its children
};

template <typename F>
Least PointTree::least(F f) const {
  Least best;
  if (nodes_.empty()) return best;
  auto bound = [&](size_t id) {
    const Node& n = nodes_[id];
    return std::min(std::min(f(n.aLow, n.bLow), f(n.aLow, n.bHigh)),
                    std::min(f(n.aHigh, n.bLow), f(n.aHigh, n.bHigh)));
  };
  // Depth first, the more promising child first. A node at depth d leaves at
  // most one sibling per level above it waiting, and the depth stays below 64.
  struct Open {
    size_t node;
    double bound;
  };
  Open open[130];
  size_t count = 0;
  open[count++] = {0, bound(0)};
  while (count > 0) {
    const Open o = open[--count];
    const Node& n = nodes_[o.node];
    if (!best.beatenBy(o.bound, n.firstIndex)) continue;
    if (n.second == 0) {
      for (size_t i = n.begin; i < n.end; ++i) {
        const PlanePoint& p = points_[i];
        const double v = f(p.a, p.b);
        if (best.beatenBy(v, p.index)) best = {v, p.index};
      }
      continue;
    }
    Open first{o.node + 1, bound(o.node + 1)}, second{n.second, bound(n.second)};
    const Least firstAsLeast{first.bound, nodes_[first.node].firstIndex};
    if (firstAsLeast.beatenBy(second.bound, nodes_[second.node].firstIndex)) {
      std::swap(first, second);
    }
    open[count++] = second;
    open[count++] = first;
  }
  return best;
}

}  // namespace framing
