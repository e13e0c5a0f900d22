// The tree of boxes finds what a walk over every point finds, to the last bit
// and the first point, and the framing through it the same shift.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "framing/parts.h"
#include "framing/point_tree.h"
#include "tools/shapes/shapes.h"

namespace {

using view::Vec3;

uint64_t bitsOf(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// Point sets of every kind the framing may meet: named, with their points.
std::vector<std::pair<std::string, std::vector<Vec3>>> pointSets() {
  std::mt19937_64 random(7);
  auto cloud = [&](size_t n, Vec3 middle, Vec3 size) {
    std::uniform_real_distribution<double> u(-0.5, 0.5);
    std::vector<Vec3> points;
    for (size_t i = 0; i < n; ++i)
      points.push_back(middle + Vec3{size.x * u(random), size.y * u(random), size.z * u(random)});
    return points;
  };
  std::vector<Vec3> grid, line;
  for (int i = 0; i < 1000; ++i)
    grid.push_back(0.1 * Vec3{i % 10 - 4.5, i / 10 % 10 - 4.5, i / 100 - 4.5});
  for (int i = 0; i < 500; ++i)
    line.push_back(Vec3{0.1, -0.2, 0.3} + (i * 0.37 - 90.0) * Vec3{0.01, 0.02, -0.005});
  return {{"random", cloud(5000, {}, {1.0, 2.0, 0.5})},
          {"candle", shapes::candle(3000).vertices},
          {"grid", grid},
          {"collinear", line},
          {"all equal", std::vector<Vec3>(300, Vec3{0.2, -0.1, 0.05})},
          {"single", {Vec3{0.3, 0.4, -0.2}}},
          {"flat", cloud(2000, {}, {1.0, 1.0, 0.0})},
          {"thin", cloud(2000, {}, {2.0, 0.0, 0.0})},
          {"deep", cloud(2000, {}, {0.1, 0.1, 40.0})},
          {"far off", cloud(2000, {1e7, -1e7, -3e6}, {1.0, 1.0, 1.0})},
          {"huge", cloud(2000, {}, {1e150, 1e150, 1e150})},
          {"tiny", cloud(2000, {0.3, 0.2, 0.1}, {1e-9, 1e-9, 1e-9})},
          {"subnormal", cloud(2000, {}, {1e-310, 1e-310, 1e-310})}};
}

TEST(PointTree, FindsTheLeastAndItsFirstPointAsTheWalkDoes) {
  for (const auto& set : pointSets()) {
    // Named, not bound: C++17 lambdas cannot capture structured bindings.
    const std::string& name = set.first;
    const std::vector<Vec3>& world = set.second;
    std::vector<framing::PlanePoint> plane;
    double farthest = 0.0;
    for (const Vec3& p : world)
      plane.push_back({p.x, p.z, plane.size()}), farthest = std::max(farthest, p.z);
    const framing::PointTree tree(plane);
    // A window's x seen from before every point, a sum, both reversed, and a step.
    const double eye = -2.0 * std::abs(farthest) - 1.0;
    const auto window = [&](double a, double b) { return 400.0 + 600.0 * (a - 0.1) / -(b + eye); };
    const auto sum = [](double a, double b) { return a + 3.0 * b; };
    const auto check = [&](auto f) {
      framing::Least walked;
      for (const framing::PlanePoint& p : plane) {
        if (walked.beatenBy(f(p.a, p.b), p.index)) walked = {f(p.a, p.b), p.index};
      }
      const framing::Least found = tree.least(f);
      EXPECT_EQ(bitsOf(found.value), bitsOf(walked.value)) << name;
      EXPECT_EQ(found.index, walked.index) << name;
    };
    check(window), check(sum);
    check([&](double a, double b) { return -window(a, b); });
    check([&](double a, double b) { return -sum(a, b); });
    check([](double a, double) { return std::floor(4.0 * a); });  // ties: the first must win
  }
  EXPECT_EQ(framing::PointTree({}).least([](double a, double) { return a; }).index, SIZE_MAX);
}

// Both throw the same error or give the same shift, bit for bit; the shift
// or the error as text.
std::string expectSameFraming(const std::string& name, const std::vector<Vec3>& world,
                              const std::optional<Vec3>& anchor) {
  const auto framed = [&](framing::PointSearch search) {
    bool nearLimited = false;
    try {
      const Vec3 s =
          framing::framePicture(world, framing::framingTarget(), anchor, nearLimited, search);
      return std::to_string(bitsOf(s.x)) + " " + std::to_string(bitsOf(s.y)) + " " +
             std::to_string(bitsOf(s.z)) + (nearLimited ? " near" : "");
    } catch (const framing::FrameError& e) {
      return std::string(e.what());
    }
  };
  const std::string found = framed(framing::PointSearch::kTrees);
  EXPECT_EQ(found, framed(framing::PointSearch::kEveryPoint))
      << name << (anchor ? " with an anchor" : "");
  return found;
}

TEST(PointTree, TheFramingsShiftIsTheWalksToTheLastBit) {
  for (const auto& [name, world] : pointSets()) {
    // Every set but the one spread far beyond the far plane is framed.
    const bool frames = name != "huge";
    EXPECT_EQ(std::isdigit(expectSameFraming(name, world, std::nullopt)[0]) != 0, frames) << name;
    EXPECT_EQ(std::isdigit(expectSameFraming(name, world, world.front())[0]) != 0, frames) << name;
  }
}

}  // namespace
