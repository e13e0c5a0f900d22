#include "framing/point_tree.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace framing {

namespace {

constexpr size_t kLeafSize = 16;

// Spreads the 16 bits of v to the even bits of the result.
uint32_t spread(uint32_t v) {
  v = (v | (v << 8)) & 0x00ff00ffu;
  v = (v | (v << 4)) & 0x0f0f0f0fu;
  v = (v | (v << 2)) & 0x33333333u;
  return (v | (v << 1)) & 0x55555555u;
}

// The points along a Z-order curve over their box, so that points near each
// other in the plane lie near each other in the list and the boxes of runs of
// them stay small. Any order gives the same answers; this one gives small boxes.
void sortAlongCurve(std::vector<PlanePoint>& points) {
  if (points.size() < 2 || points.size() > 0xffffffffu) return;
  double aLow = points[0].a, aHigh = aLow, bLow = points[0].b, bHigh = bLow;
  for (const PlanePoint& p : points) {
    aLow = std::min(aLow, p.a), aHigh = std::max(aHigh, p.a);
    bLow = std::min(bLow, p.b), bHigh = std::max(bHigh, p.b);
  }
  // A coordinate's place in its range, in 16 bits (all 0 for no finite range).
  auto cell = [](double v, double low, double high) {
    const double range = high - low;
    if (!(range > 0.0) || !std::isfinite(range)) return 0u;
    return static_cast<uint32_t>(std::min(65535.0, (v - low) * (65535.0 / range)));
  };
  // Each point's key above its place in the list, sorted by the keys' two
  // halves, the lower first, each pass stable.
  std::vector<uint64_t> order(points.size()), spare(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    const uint32_t key =
        spread(cell(points[i].a, aLow, aHigh)) | (spread(cell(points[i].b, bLow, bHigh)) << 1);
    order[i] = (static_cast<uint64_t>(key) << 32) | i;
  }
  std::vector<size_t> start(65537);
  for (int shift = 32; shift < 64; shift += 16) {
    std::fill(start.begin(), start.end(), 0);
    for (uint64_t o : order) ++start[((o >> shift) & 0xffffu) + 1];
    for (size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
    for (uint64_t o : order) spare[start[(o >> shift) & 0xffffu]++] = o;
    order.swap(spare);
  }
  std::vector<PlanePoint> sorted;
  sorted.reserve(points.size());
  for (uint64_t o : order) sorted.push_back(points[o & 0xffffffffu]);
  points = std::move(sorted);
}

}  // namespace

PointTree::PointTree(std::vector<PlanePoint> points) : points_(std::move(points)) {
  sortAlongCurve(points_);
  if (points_.empty()) return;
  nodes_.reserve(2 * (points_.size() / kLeafSize + 1));
  build(0, points_.size());
}

// Halving the run each level keeps the depth at most log2 of the count.
size_t PointTree::build(size_t begin, size_t end) {
  const size_t id = nodes_.size();
  nodes_.emplace_back();
  Node n;
  n.begin = begin, n.end = end;
  if (end - begin <= kLeafSize) {
    const PlanePoint& p = points_[begin];
    n.aLow = n.aHigh = p.a, n.bLow = n.bHigh = p.b, n.firstIndex = p.index;
    for (size_t i = begin + 1; i < end; ++i) {
      const PlanePoint& q = points_[i];
      n.aLow = std::min(n.aLow, q.a), n.aHigh = std::max(n.aHigh, q.a);
      n.bLow = std::min(n.bLow, q.b), n.bHigh = std::max(n.bHigh, q.b);
      n.firstIndex = std::min(n.firstIndex, q.index);
    }
  } else {
    build(begin, begin + (end - begin) / 2);
    n.second = build(begin + (end - begin) / 2, end);
    const Node &x = nodes_[id + 1], &y = nodes_[n.second];
    n.aLow = std::min(x.aLow, y.aLow), n.aHigh = std::max(x.aHigh, y.aHigh);
    n.bLow = std::min(x.bLow, y.bLow), n.bHigh = std::max(x.bHigh, y.bHigh);
    n.firstIndex = std::min(x.firstIndex, y.firstIndex);
  }
  nodes_[id] = n;
  return id;
}

}  // namespace framing
