// What lighter-import keeps of a model's look: texture coordinates and
// material colours through every stage to the sidecar, the model's texture
// scaled for the program, and what the summary says about them.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "dataset/pictures.h"
#include "tests/support/test_models.h"
#include "tests/unit/importer_test_support.h"
#include "tests/unit/look_test_support.h"
#include "textures/picture_import.h"
#include "tools/model_looks/look_models.h"

namespace {

using importertest::TempDir;
using looktest::Rgb;
namespace fs = std::filesystem;

// The texture coordinates of a bumpy sheet's left half, an affine function
// of the position; the right half's are the same plus 10 in u, so the
// vertices down the middle are split.
double uOf(double x, double y, double z) { return 0.4 * x + 0.1 * y + 0.2 * z + 0.5; }
double vOf(double x, double y, double z) { return -0.1 * x + 0.45 * y - 0.3 * z + 0.5; }

std::string seamedSheetObj(int n) {
  std::ostringstream obj;
  for (int j = 0; j <= n; ++j) {
    for (int i = 0; i <= n; ++i) {
      const double x = -1.0 + 2.0 * i / n, y = -1.0 + 2.0 * j / n;
      const double z = 0.3 * std::sin(3.0 * x) * std::cos(2.0 * y);
      obj << "v " << x << " " << y << " " << z << "\n";
      obj << "vt " << uOf(x, y, z) << " " << vOf(x, y, z) << "\n";
      obj << "vt " << uOf(x, y, z) + 10.0 << " " << vOf(x, y, z) << "\n";
    }
  }
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const int a = j * (n + 1) + i + 1, b = a + 1, c = a + n + 2, d = a + n + 1;
      const int side = 2 * i < n ? 0 : 1;  // which set of coordinates
      auto corner = [&](int p) {
        return std::to_string(p) + "/" + std::to_string(2 * p - 1 + side);
      };
      obj << "f " << corner(a) << " " << corner(b) << " " << corner(c) << "\n";
      obj << "f " << corner(a) << " " << corner(c) << " " << corner(d) << "\n";
    }
  }
  return obj.str();
}

// The largest misfit of `values` as an affine function of `points`, fitted
// by least squares, relative to the values' range.
double affineMisfit(const std::vector<view::Vec3>& points, const std::vector<double>& values) {
  double m[4][5] = {};
  for (size_t k = 0; k < points.size(); ++k) {
    const double row[4] = {points[k].x, points[k].y, points[k].z, 1.0};
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) m[i][j] += row[i] * row[j];
      m[i][4] += row[i] * values[k];
    }
  }
  for (int i = 0; i < 4; ++i) {  // Gauss-Jordan with partial pivoting
    int pivot = i;
    for (int r = i + 1; r < 4; ++r) {
      if (std::abs(m[r][i]) > std::abs(m[pivot][i])) pivot = r;
    }
    for (int j = 0; j < 5; ++j) std::swap(m[i][j], m[pivot][j]);
    for (int r = 0; r < 4; ++r) {
      if (r == i) continue;
      const double f = m[r][i] / m[i][i];
      for (int j = 0; j < 5; ++j) m[r][j] -= f * m[i][j];
    }
  }
  double worst = 0.0, low = HUGE_VAL, high = -HUGE_VAL;
  for (size_t k = 0; k < points.size(); ++k) {
    const double fit = (m[0][4] / m[0][0]) * points[k].x + (m[1][4] / m[1][1]) * points[k].y +
                       (m[2][4] / m[2][2]) * points[k].z + m[3][4] / m[3][3];
    worst = std::max(worst, std::abs(fit - values[k]));
    low = std::min(low, values[k]);
    high = std::max(high, values[k]);
  }
  return worst / (high - low);
}

// The four colours as a BMP file (twice their size: BMP rows hold whole
// words), the bottom row first.
void writeFourColoursBmp(const fs::path& path) {
  const looks::Picture four = looks::fourColours();
  Image image{4, 4, {}};
  for (int y = 3; y >= 0; --y) {
    for (int x = 0; x < 4; ++x) {
      const auto* p = &four.rgb[static_cast<size_t>((y / 2) * 2 + x / 2) * 3];
      image.data.insert(image.data.end(), p, p + 3);
    }
  }
  const std::vector<unsigned char> bytes = encodeBmp(image);
  testmodels::writeFile(path.string(), std::string(bytes.begin(), bytes.end()));
}

TEST(ImportLook, EveryWrittenTextureCoordinateIsOneTheSourceHadAtThatPosition) {
  TempDir dir;
  testmodels::writeFile((dir / "sheet.obj").string(), seamedSheetObj(24));
  writeFourColoursBmp(dir / "four.bmp");
  importer::Options options = importertest::optionsFor(dir / "sheet.obj", dir / "out");
  options.texture = (dir / "four.bmp").string();
  options.maxFaces = 300;  // 1152 faces: simplified
  const std::string printed = importertest::import(options);
  EXPECT_NE(printed.find("1152 -> 300 faces"), std::string::npos) << printed;

  const importertest::ProgramRun run = importertest::readAsProgram(dir / "out");
  const MeshLook look = looktest::bodyLook(dir / "out", run);
  ASSERT_EQ(look.uv.size(), 2 * run.meshes.lighterBaseVertices.size());
  EXPECT_TRUE(look.rgb.empty());
  const std::vector<view::Vec3> world = looktest::bodyWorld(run);
  // The framing moved and scaled the sheet, an affine map: the coordinates
  // stay an affine function of where the vertices show.
  std::vector<view::Vec3> points;
  std::vector<double> us, vs;
  size_t sides[2] = {0, 0};
  for (const auto& face : looktest::bodyFaces(run)) {
    const bool right = look.uv[2 * face[0]] > 5.0f;
    ++sides[right];
    for (size_t c : face) {
      ASSERT_EQ(look.uv[2 * c] > 5.0f, right) << "a face with corners from both halves";
      points.push_back(world[c]);
      us.push_back(look.uv[2 * c] - (right ? 10.0 : 0.0));
      vs.push_back(look.uv[2 * c + 1]);
    }
  }
  EXPECT_GT(sides[0], 0u);
  EXPECT_GT(sides[1], 0u);
  EXPECT_LT(affineMisfit(points, us), 1e-4);
  EXPECT_LT(affineMisfit(points, vs), 1e-4);
  EXPECT_TRUE(fs::exists(dir / "out" / kModelTextureFile));
}

TEST(ImportLook, TwoMaterialColoursStayOnTheirBoxes) {
  TempDir dir;
  looks::writeTwoColourBoxes((dir / "boxes.obj").string());
  const std::string printed =
      importertest::import(importertest::optionsFor(dir / "boxes.obj", dir / "out"));
  EXPECT_NE(printed.find("Look: 2 material colours, shown in Lit.\n"), std::string::npos)
      << printed;
  EXPECT_FALSE(fs::exists(dir / "out" / kModelTextureFile));
  const importertest::ProgramRun run = importertest::readAsProgram(dir / "out");
  const MeshLook look = looktest::bodyLook(dir / "out", run);
  ASSERT_EQ(look.rgb.size(), 3 * run.meshes.lighterBaseVertices.size());
  EXPECT_TRUE(look.uv.empty());
  const std::vector<view::Vec3> world = looktest::bodyWorld(run);
  auto colour = [&](size_t c) {
    return Rgb{look.rgb[3 * c], look.rgb[3 * c + 1], look.rgb[3 * c + 2]};
  };
  const Rgb red{217, 26, 26}, blue{26, 51, 230};
  // The boxes meet in a square both have a face in.
  double highestRed = -HUGE_VAL, lowestBlue = HUGE_VAL, sum[2] = {0.0, 0.0};
  size_t count[2] = {0, 0};
  for (const auto& face : looktest::bodyFaces(run)) {
    const Rgb first = colour(face[0]);
    ASSERT_TRUE(first == red || first == blue);
    const double y = (world[face[0]].y + world[face[1]].y + world[face[2]].y) / 3.0;
    for (size_t c : face) EXPECT_EQ(colour(c), first);
    if (first == red) highestRed = std::max(highestRed, y);
    if (first == blue) lowestBlue = std::min(lowestBlue, y);
    sum[first == blue] += y;
    ++count[first == blue];
  }
  ASSERT_EQ(count[0], 12u);
  ASSERT_EQ(count[1], 12u);
  EXPECT_LE(highestRed, lowestBlue + 1e-6) << "the red box must show below the blue one";
  EXPECT_LT(sum[0] / 12.0 + 0.1, sum[1] / 12.0);
}

TEST(ImportLook, AMissingTextureIsAWarningAndTheSilverLook) {
  TempDir dir;
  looks::writeTexturedQuad((dir / "quad.dae").string(), false);
  std::ostringstream out;
  const importer::Summary summary =
      importer::runImport(importertest::optionsFor(dir / "quad.dae", dir / "out"), out);
  ASSERT_EQ(summary.warnings.size(), 1u);
  EXPECT_NE(summary.warnings[0].find("quad.tga"), std::string::npos) << summary.warnings[0];
  EXPECT_EQ(summary.warnings[0].find('\n'), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out" / kBaseLookFile));
  EXPECT_FALSE(fs::exists(dir / "out" / kModelTextureFile));
  importer::printSummary(summary, out);
  EXPECT_EQ(out.str().find("Look:"), std::string::npos) << out.str();
}

TEST(ImportLook, TheSummaryNamesTheTextureAndHowItIsDrawn) {
  TempDir dir;
  looks::writeTexturedQuad((dir / "quad.dae").string());
  EXPECT_NE(importertest::import(importertest::optionsFor(dir / "quad.dae", dir / "own"))
                .find("Look: texture quad.tga, 2\u00d72, drawn in Lit through the model's texture "
                      "coordinates.\n"),
            std::string::npos);
  looktest::expectFourColoursInPlace(dir / "own");

  // --texture goes through the quad's coordinates; the surface stays silver.
  writeFourColoursBmp(dir / "four.bmp");
  importer::Options given = importertest::optionsFor(dir / "quad.dae", dir / "given");
  given.texture = (dir / "four.bmp").string();
  EXPECT_NE(importertest::import(given).find("Look: texture four.bmp, 4\u00d74 (--texture), drawn "
                                             "in Lit through the model's texture coordinates.\n"),
            std::string::npos);
  looktest::expectFourColoursInPlace(dir / "given");
  EXPECT_EQ(importertest::contentOf(dir / "given" / "silverTexture.bmp"),
            importertest::contentOf(dir / "own" / "silverTexture.bmp"));

  // A model without coordinates keeps --texture as every face's surface.
  testmodels::writeFile((dir / "pyramid.stl").string(), testmodels::pyramidStl());
  importer::Options plain = importertest::optionsFor(dir / "pyramid.stl", dir / "plain");
  plain.texture = (dir / "four.bmp").string();
  const std::string printed = importertest::import(plain);
  EXPECT_NE(printed.find("Look: texture four.bmp, 4\u00d74 (--texture), on every face as the "
                         "surface: the model has no texture coordinates.\n"),
            std::string::npos)
      << printed;
  EXPECT_FALSE(fs::exists(dir / "plain" / kModelTextureFile));
  EXPECT_FALSE(fs::exists(dir / "plain" / kBaseLookFile));
  EXPECT_EQ(looktest::readBmp(dir / "plain" / "silverTexture.bmp").width, 4u);

  // Nothing of a look, nothing said about one.
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObj());
  EXPECT_EQ(importertest::import(importertest::optionsFor(dir / "house.obj", dir / "house"))
                .find("Look:"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "house" / kBaseLookFile));
}

// The lid's sidecar: its own texture coordinates when its material names a
// texture (drawn with the body's), its own colours otherwise.
TEST(ImportLook, ALidKeepsItsOwnLookBesideTheBodys) {
  TempDir dir;
  looks::writeTexturedQuad((dir / "quad.gltf").string());
  looks::writeTexturedQuad((dir / "lid.obj").string());
  looks::writeTwoColourBoxes((dir / "boxes.obj").string());
  for (const char* lid : {"lid.obj", "boxes.obj"}) {
    SCOPED_TRACE(lid);
    importer::Options options = importertest::optionsFor(dir / "quad.gltf", dir / lid += ".out");
    options.lid = (dir / lid).string();
    importertest::import(options);
    const importertest::ProgramRun run = importertest::readAsProgram(dir / lid += ".out");
    std::string why;
    const auto look = readLookFile((dir / lid += ".out/lighterTop.look").c_str(),
                                   run.meshes.lighterTopVertices.size(), why);
    ASSERT_TRUE(look) << why;
    const bool textured = std::string(lid) == "lid.obj";
    EXPECT_EQ(look->uv.size(), textured ? 2 * run.meshes.lighterTopVertices.size() : 0u);
    EXPECT_EQ(look->rgb.size(), textured ? 0u : 3 * run.meshes.lighterTopVertices.size());
    looktest::expectFourColoursInPlace(dir / lid += ".out");
  }
}

TEST(ImportLook, AModelsTextureGrowsByRepeatingPixelsAndShrinksTo1024) {
  const looks::Picture four = looks::fourColours();
  const Image grown = modelTexture({four.width, four.height, four.rgb, "four"});
  ASSERT_EQ(grown.width, 4u);
  ASSERT_EQ(grown.height, 4u);
  for (std::uint32_t row = 0; row < 4; ++row) {  // bottom row first
    for (std::uint32_t column = 0; column < 4; ++column) {
      const bool top = row >= 2, left = column < 2;
      const Rgb expected = top ? (left ? Rgb{255, 0, 0} : Rgb{0, 255, 0})
                               : (left ? Rgb{0, 0, 255} : Rgb{255, 255, 0});
      EXPECT_EQ(looktest::texel(grown, (column + 0.5f) / 4, (row + 0.5f) / 4), expected)
          << "row " << row << " column " << column;
    }
  }
  const Image wide = modelTexture({3000, 3, std::vector<std::uint8_t>(3000 * 3 * 3, 90), "wide"});
  EXPECT_EQ(wide.width, 1024u);
  EXPECT_EQ(wide.height, 4u);
  EXPECT_EQ(wide.data[0], 90);
  EXPECT_EQ(textureSide(3000), 512);  // the surface stays at most 512
}

}  // namespace
