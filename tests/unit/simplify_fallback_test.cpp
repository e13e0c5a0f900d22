// The importer's simplifier on models the shape-keeping simplifier cannot
// bring within the budget and grid clustering collapses entirely: the import
// still gets a picture within the budget.
#include <gtest/gtest.h>
#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "importer/clean.h"
#include "importer/simplify.h"

namespace {

using Corner = std::tuple<float, float, float>;
using Triangle = std::tuple<Corner, Corner, Corner>;

// `count` separate fans of 20 thin faces (a hundredth of a radian each), on a
// grid three units apart; the n-th fan's radius grows with n, so that faces
// differ in size.
importer::Mesh thinFans(int count) {
  importer::Mesh mesh;
  constexpr int kFaces = 20;
  for (int k = 0; k < count; ++k) {
    const float cx = static_cast<float>(k % 50) * 3.0f, cy = static_cast<float>(k / 50) * 3.0f;
    const float radius = 1.0f + 0.001f * static_cast<float>(k);
    const auto centre = static_cast<int>(mesh.vertices.size());
    mesh.vertices.push_back({cx, cy, 0.0});
    for (int i = 0; i <= kFaces; ++i) {
      const float a = 0.01f * static_cast<float>(i) / kFaces;
      mesh.vertices.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a), 0.0});
    }
    for (int i = 1; i <= kFaces; ++i) mesh.faces.push_back({centre, centre + i, centre + i + 1});
  }
  return mesh;
}

Corner cornerOf(const importer::Mesh& m, int i) {
  const view::Vec3 v = m.vertices[static_cast<size_t>(i)];
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::vector<Triangle> trianglesOf(const importer::Mesh& m) {
  std::vector<Triangle> out;
  for (const dataset::Face& f : m.faces) {
    out.emplace_back(cornerOf(m, f[0]), cornerOf(m, f[1]), cornerOf(m, f[2]));
  }
  return out;
}

double areaOf(const Triangle& t) {
  const auto [a, b, c] = t;
  const double ux = std::get<0>(b) - std::get<0>(a), uy = std::get<1>(b) - std::get<1>(a);
  const double vx = std::get<0>(c) - std::get<0>(a), vy = std::get<1>(c) - std::get<1>(a);
  return std::abs(ux * vy - uy * vx) / 2.0;  // the fans lie in z = 0
}

TEST(SimplifyFallback, FacesClusteringCollapsesStillComeOutWithinTheBudget) {
  const importer::Mesh fans = thinFans(500);
  constexpr size_t kBudget = 40;
  // The model really defeats both of meshoptimizer's simplifiers at this budget.
  const std::vector<unsigned> corners = importer::indexBuffer(fans);
  const std::vector<float> positions = importer::positionBuffer(fans);
  std::vector<unsigned> scratch(corners.size());
  ASSERT_GT(meshopt_simplify(scratch.data(), corners.data(), corners.size(), positions.data(),
                             fans.vertices.size(), 3 * sizeof(float), 3 * kBudget, 1.0f),
            3 * kBudget);
  ASSERT_EQ(meshopt_simplifySloppy(scratch.data(), corners.data(), corners.size(), positions.data(),
                                   fans.vertices.size(), 3 * sizeof(float), 3 * kBudget, 1.0f),
            0u);

  importer::SimplifyReport report;
  const importer::Mesh out = importer::simplifyMesh(fans, kBudget, report);
  EXPECT_TRUE(report.sloppy);
  EXPECT_EQ(report.facesIn, fans.faces.size());
  EXPECT_EQ(report.facesOut, kBudget);
  ASSERT_EQ(out.faces.size(), kBudget);
  // Only the vertices the kept faces name remain.
  EXPECT_LE(out.vertices.size(), 3 * kBudget);

  // Each kept face is one of the model's, unchanged, and none of the faces
  // left out is larger than a kept one.
  const std::vector<Triangle> all = trianglesOf(fans), kept = trianglesOf(out);
  const std::set<Triangle> keptSet(kept.begin(), kept.end());
  EXPECT_EQ(keptSet.size(), kBudget);
  double smallestKept = INFINITY, largestDropped = 0.0;
  for (const Triangle& t : all) {
    if (keptSet.count(t)) {
      smallestKept = std::min(smallestKept, areaOf(t));
    } else {
      largestDropped = std::max(largestDropped, areaOf(t));
    }
  }
  for (const Triangle& t : kept) EXPECT_TRUE(std::count(all.begin(), all.end(), t) == 1);
  EXPECT_GE(smallestKept, largestDropped);
}

TEST(SimplifyFallback, AModelWithinTheBudgetIsLeftAlone) {
  const importer::Mesh fans = thinFans(10);
  importer::SimplifyReport report;
  const importer::Mesh out = importer::simplifyMesh(fans, fans.faces.size(), report);
  EXPECT_EQ(out.faces, fans.faces);
  EXPECT_EQ(trianglesOf(out), trianglesOf(fans));
  EXPECT_FALSE(report.sloppy);
}

}  // namespace
