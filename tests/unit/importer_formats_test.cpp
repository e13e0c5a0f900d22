// The importer on model files in the formats users bring, checked with the
// program's own reader and preparation and through the program's view.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/support/test_models.h"
#include "tests/unit/importer_test_support.h"
#include "tools/shapes/shapes.h"

namespace {

using importertest::contentOf;
using importertest::import;
using importertest::optionsFor;
using importertest::readAsProgram;
using importertest::TempDir;

// Imports `file` (written into a scratch directory as `name`) and returns
// the data directory as the program reads it.
struct Imported {
  TempDir dir;
  std::string printed;
  importertest::ProgramRun run;
};

void importFile(Imported& out, const std::string& name, const std::string& content) {
  testmodels::writeFile((out.dir / name).string(), content);
  out.printed = import(optionsFor(out.dir / name, out.dir / "data"));
  out.run = readAsProgram(out.dir / "data");
}

// What every data directory the importer writes must be for the program.
void expectUsable(const Imported& imported, size_t faces) {
  const importertest::ProgramRun& run = imported.run;
  EXPECT_EQ(run.printed.find("face skipped"), std::string::npos);
  EXPECT_EQ(run.printed.find("an error occurred"), std::string::npos);
  EXPECT_EQ(run.meshes.lighterBaseTriangles.size(), faces);
  EXPECT_TRUE(run.meshes.lighterTopVertices.empty());
  for (const Tri& f : run.meshes.lighterBaseTriangles) {
    ASSERT_TRUE(std::isfinite(f.normal.x) && std::isfinite(f.normal.y) && std::isfinite(f.normal.z))
        << "a face without a normal: " << f.corner1 << " " << f.corner2 << " " << f.corner3;
  }
  importertest::expectFramed(importertest::bodyOf(run));
}

TEST(ImportFormats, ObjAsModellersWriteItGivesEveryPolygonAndNoStrayVertex) {
  Imported house;
  importFile(house, "house.obj", testmodels::houseObj());
  expectUsable(house, 16);
  EXPECT_EQ(house.run.meshes.lighterBaseVertices.size(), 10u);
}

TEST(ImportFormats, ObjTextureNormalLinesAndNegativeIndicesChangeNothing) {
  Imported house, plain;
  importFile(house, "house.obj", testmodels::houseObj());
  importFile(plain, "plain.obj", testmodels::houseObjPlain());
  EXPECT_EQ(contentOf(house.dir / "data/lighterBase.m"),
            contentOf(plain.dir / "data/lighterBase.m"));
}

TEST(ImportFormats, BinaryStlStandsOnItsZAxis) {
  Imported pyramid;
  importFile(pyramid, "pyramid.stl", testmodels::pyramidStl());
  expectUsable(pyramid, 6);
  EXPECT_EQ(pyramid.run.meshes.lighterBaseVertices.size(), 5u);  // corners joined
  // 2 wide and 3 tall: the height fills the rectangle.
  const framing::PixelBox b = importertest::bodyOf(pyramid.run);
  EXPECT_NEAR(b.bottom, view::kClickArea.bottom, 1.0);
  EXPECT_LT(b.width(), b.height());
}

TEST(ImportFormats, PlyQuadsWithNormalsGiveALongBarFramedByItsWidth) {
  Imported bar;
  importFile(bar, "bar.ply", testmodels::barPly());
  expectUsable(bar, 12);
  const framing::PixelBox b = importertest::bodyOf(bar.run);
  EXPECT_NEAR(b.left, view::kClickArea.left, 1.0);
  EXPECT_NEAR(b.right, view::kClickArea.right, 1.0);
  // Four times as wide as high: not stretched by the program's scale, which
  // ignores the width, nor shown beyond the rectangle.
  EXPECT_NEAR(b.width() / b.height(), 4.0, 0.6);
}

// The same candle written by Assimp's exporters (and OFF by hand) reads
// back in each format and frames alike.
class ExportedFormat : public testing::TestWithParam<const char*> {};

TEST_P(ExportedFormat, ImportsAndFrames) {
  TempDir dir;
  const std::string name = std::string("candle.") + GetParam();
  const importer::Mesh candle = shapes::candle(600);
  shapes::exportModel(candle, (dir / name).string(), importer::conventionalUpAxis(name));
  import(optionsFor(dir / name, dir / "data"));
  const importertest::ProgramRun run = readAsProgram(dir / "data");
  EXPECT_EQ(run.printed.find("face skipped"), std::string::npos);
  EXPECT_EQ(run.meshes.lighterBaseTriangles.size(), candle.faces.size());
  const framing::PixelBox b = importertest::bodyOf(run);
  importertest::expectFramed(b);
  // Upright: a candle is taller than wide whatever the format's up axis.
  EXPECT_GT(b.height(), 2.0 * b.width());
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportedFormat,
                         testing::Values("obj", "stl", "ply", "off", "glb", "gltf", "dae", "3ds"));

TEST(ImportFormats, AsciiStlReadsLikeBinary) {
  TempDir dir;
  std::string ascii = "solid tri\n";
  const char* facets[] = {"0 0 0  1 0 0  0 0 1", "1 0 0  1 1 0  1 0 1", "0 0 0  0 0 1  0 1 0"};
  for (const char* f : facets) {
    float v[9];
    std::sscanf(f, "%f %f %f %f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6],
                &v[7], &v[8]);
    ascii += " facet normal 0 0 0\n  outer loop\n";
    for (int k = 0; k < 9; k += 3) {
      ascii += "   vertex " + std::to_string(v[k]) + " " + std::to_string(v[k + 1]) + " " +
               std::to_string(v[k + 2]) + "\n";
    }
    ascii += "  endloop\n endfacet\n";
  }
  ascii += "endsolid tri\n";
  testmodels::writeFile((dir / "tri.stl").string(), ascii);
  import(optionsFor(dir / "tri.stl", dir / "data"));
  const importertest::ProgramRun run = readAsProgram(dir / "data");
  EXPECT_EQ(run.meshes.lighterBaseTriangles.size(), 3u);
  importertest::expectFramed(importertest::bodyOf(run));
}

}  // namespace
