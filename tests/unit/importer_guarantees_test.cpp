// What a user sees of lighter-import that a change could break unnoticed:
// the candle's wick under the flame, vertices joined whatever the sign of
// zero, a face budget always met, and the progress line of a large model.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "importer/clean.h"
#include "importer/progress.h"
#include "importer/simplify.h"
#include "tests/unit/importer_test_support.h"
#include "tools/shapes/shapes.h"

namespace {

using importertest::TempDir;

// The candle's highest point is its wick; the flame rises from the window's
// centre. Both as the program shows them, from the files written.
TEST(ImportGuarantees, TheCandlesWickStandsUnderTheFlame) {
  TempDir dir;
  shapes::exportModel(shapes::candle(3000), (dir / "candle.obj").string(), importer::UpAxis{});
  importertest::import(importertest::optionsFor(dir / "candle.obj", dir / "data"));
  const importertest::ProgramRun run = importertest::readAsProgram(dir / "data");
  const framing::PixelBox body = importertest::bodyOf(run);
  // The wick: what shows within a pixel of the picture's top.
  double left = 1e9, right = -1e9;
  for (const Vector3& v : run.meshes.lighterBaseVertices) {
    const view::Pixel p =
        view::worldToWindow(view::baseToWorld(run.frame, view::Vec3{v.x, v.y, v.z}));
    if (p.y >= body.top - 1.0) left = std::min(left, p.x), right = std::max(right, p.x);
  }
  EXPECT_LT(right - left, 10.0) << "the top is not the wick";
  EXPECT_NEAR((left + right) / 2.0, view::flameOrigin().x, 1.0);
  EXPECT_NEAR(body.top, view::flameOrigin().y, 0.5);
}

// A cube written as twelve separate triangles, some corners at -0 where
// others are at 0: one vertex per corner of the cube.
TEST(ImportGuarantees, VerticesAtZeroAndMinusZeroAreOne) {
  const float corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                              {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
  const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  importer::Mesh mesh;
  for (const auto& q : sides) {
    for (int c : {q[0], q[1], q[2], q[0], q[2], q[3]}) {
      float p[3];
      for (int k = 0; k < 3; ++k) {
        const bool negative = mesh.vertices.size() % 2 == 1;
        p[k] = corner[c][k] == 0.0f && negative ? -0.0f : corner[c][k];
      }
      mesh.vertices.push_back({p[0], p[1], p[2]});
    }
    const int v = static_cast<int>(mesh.vertices.size()) - 6;
    mesh.faces.push_back({v, v + 1, v + 2});
    mesh.faces.push_back({v + 3, v + 4, v + 5});
  }
  importer::CleanReport report;
  const importer::Mesh cleaned = importer::cleanMesh(mesh, report);
  EXPECT_EQ(report.verticesIn, 36u);
  EXPECT_EQ(cleaned.vertices.size(), 8u);
  EXPECT_EQ(cleaned.faces.size(), 12u);
}

TEST(ImportGuarantees, AnyFaceBudgetIsMetEvenFarBelowTheModel) {
  const importer::Mesh candle = shapes::candle(60000);
  ASSERT_GT(candle.faces.size(), 60000u);
  for (size_t budget : {40u, 500u}) {
    importer::SimplifyReport report;
    const importer::Mesh out = importer::simplifyMesh(candle, budget, report);
    EXPECT_LE(out.faces.size(), budget);
    EXPECT_GE(out.faces.size(), budget / 2);
    EXPECT_EQ(report.facesOut, out.faces.size());
  }
}

TEST(ImportGuarantees, AModelOverAMillionFacesGetsOneProgressLine) {
  std::ostringstream small, large;
  for (auto* out : {&small, &large}) {
    importer::Progress progress(*out, false);
    progress.startLarge(out == &small ? importer::kLargeModel : importer::kLargeModel + 1);
    progress.step("cleaning");
    progress.stage("simplify", "m.obj: 2000000 -> 20000 faces", true);
    progress.step("writing");
    progress.done();
  }
  // Without the progress line the stage's line comes at once.
  EXPECT_EQ(small.str().rfind("  simplify  m.obj: 2000000 -> 20000 faces [", 0), 0u) << small.str();
  EXPECT_EQ(large.str().rfind("lighter-import: 1000001 faces, this takes a few seconds: "
                              "cleaning... writing... done\n  simplify  m.obj",
                              0),
            0u)
      << large.str();
}

}  // namespace
