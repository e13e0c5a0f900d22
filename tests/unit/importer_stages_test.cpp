// The importer's stages one by one: orientation, the depth the program's
// scale ignores, the face budget, face order, the lid, the texture and the
// exact text the program reads.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "dataset/mesh_text.h"
#include "framing/frame.h"
#include "importer/orient.h"
#include "tests/support/test_models.h"
#include "tests/unit/importer_test_support.h"
#include "textures/picture_import.h"
#include "tools/shapes/shapes.h"

namespace {

using importertest::import;
using importertest::optionsFor;
using importertest::readAsProgram;
using importertest::TempDir;

// A box as an OBJ file, `width` along x, `height` along y and `depth` along z.
std::string boxObj(double width, double height, double depth) {
  std::ostringstream obj;
  for (int i = 0; i < 8; ++i) {
    obj << "v " << (i & 1 ? width : 0.0) << " " << (i & 2 ? height : 0.0) << " "
        << (i & 4 ? depth : 0.0) << "\n";
  }
  obj << "f 1 3 4 2\nf 5 6 8 7\nf 1 2 6 5\nf 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\n";
  return obj.str();
}

framing::PixelBox importBox(const TempDir& dir, const std::string& obj,
                            importer::Options options = {}) {
  testmodels::writeFile((dir / "box.obj").string(), obj);
  const auto output = dir / ("data" + std::to_string(std::rand()));
  options.body = (dir / "box.obj").string();
  options.output = output.string();
  import(options);
  const importertest::ProgramRun run = readAsProgram(output);
  EXPECT_EQ(run.printed.find("face skipped"), std::string::npos);
  const framing::PixelBox box = importertest::bodyOf(run);
  importertest::expectFramed(box);
  return box;
}

view::Vec3 oriented(view::Vec3 p, importer::Orientation orientation) {
  importer::Mesh mesh;
  mesh.vertices = {{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}};
  importer::orientMesh(mesh, orientation);
  return mesh.vertices[0];
}

void expectPoint(view::Vec3 p, double x, double y, double z) {
  EXPECT_NEAR(p.x, x, 1e-6);
  EXPECT_NEAR(p.y, y, 1e-6);
  EXPECT_NEAR(p.z, z, 1e-6);
}

TEST(Orient, UpAxisTurnsUprightWithTheFrontTowardsTheViewer) {
  using importer::UpAxis;
  // Z up: up becomes y, the file's -y (the front in Z-up tools) faces +z.
  expectPoint(oriented({0, 0, 1}, {UpAxis{2, 1}, 0.0}), 0, 1, 0);
  expectPoint(oriented({0, -1, 0}, {UpAxis{2, 1}, 0.0}), 0, 0, 1);
  expectPoint(oriented({1, 0, 0}, {UpAxis{2, 1}, 0.0}), 1, 0, 0);
  // Upside down: up and front both turn round.
  expectPoint(oriented({0, -1, 0}, {UpAxis{1, -1}, 0.0}), 0, 1, 0);
  expectPoint(oriented({1, 0, 0}, {UpAxis{0, 1}, 0.0}), 0, 1, 0);
  // A quarter turn counter-clockwise seen from above takes the right side
  // to the back.
  expectPoint(oriented({1, 0, 0}, {UpAxis{1, 1}, 90.0}), 0, 0, -1);
}

TEST(Orient, UpAxisNamesAndDefaults) {
  EXPECT_EQ(importer::upAxisName(*importer::parseUpAxis("-Z")), "-z");
  EXPECT_EQ(importer::upAxisName(*importer::parseUpAxis("+x")), "+x");
  EXPECT_FALSE(importer::parseUpAxis("w").has_value());
  EXPECT_FALSE(importer::parseUpAxis("").has_value());
  EXPECT_FALSE(importer::parseUpAxis("--y").has_value());
  EXPECT_EQ(importer::defaultUpAxis("part.STL").axis, 2);
  EXPECT_EQ(importer::defaultUpAxis("scene.3ds").axis, 1);  // Assimp turns it Y up
  EXPECT_EQ(importer::defaultUpAxis("model.obj").axis, 1);
}

TEST(Orient, ATowerAlongZStandsUpWithUpZ) {
  TempDir dir;
  const std::string tower = boxObj(1, 1, 4);
  importer::Options up;
  up.up = importer::parseUpAxis("z");
  const framing::PixelBox standing = importBox(dir, tower, up);
  const framing::PixelBox lying = importBox(dir, tower);
  EXPECT_GT(standing.height(), 3.0 * standing.width());
  EXPECT_LT(lying.height(), 2.0 * lying.width());
}

TEST(Orient, TurnShowsTheOtherSide) {
  TempDir dir;
  const std::string slab = boxObj(3, 1, 1);
  importer::Options turned;
  turned.turnDegrees = 90.0;
  const framing::PixelBox front = importBox(dir, slab);
  const framing::PixelBox side = importBox(dir, slab, turned);
  EXPECT_NEAR(front.width() / front.height(), 3.0, 0.5);
  EXPECT_LT(side.width() / side.height(), 1.6);
}

// The program scales by depth and height only; a rod a hundred times longer
// than thick would need the camera 400 units away, beyond the far plane.
TEST(Frame, ALongRodGetsDepthVerticesAndStaysWithinTheClipPlanes) {
  TempDir dir;
  testmodels::writeFile((dir / "rod.obj").string(), boxObj(100, 1, 1));
  import(optionsFor(dir / "rod.obj", dir / "data"));
  const importertest::ProgramRun run = readAsProgram(dir / "data");
  ASSERT_EQ(run.meshes.lighterBaseVertices.size(), 10u);  // the 8 corners and 2 more
  for (const Tri& f : run.meshes.lighterBaseTriangles) {
    EXPECT_LE(std::max({f.corner1, f.corner2, f.corner3}), 8);
  }
  importertest::expectFramed(importertest::bodyOf(run));
  for (const Vector3& v : run.meshes.lighterBaseVertices) {
    const double eyeZ = view::worldToEye(view::baseToWorld(run.frame, {v.x, v.y, v.z})).z;
    EXPECT_LT(eyeZ, -view::kNearPlane);
    EXPECT_GT(eyeZ, -view::kFarPlane);
  }
}

// A house in metres far from the origin, in light years, in atoms: the
// file's units and origin make no difference to the picture.
TEST(Frame, ModelsOfAnyScaleOrPlaceShowAlike) {
  for (const char* scale : {"1e-20", "1e20", "1"}) {
    for (const char* offset : {"0", "1000"}) {
      SCOPED_TRACE(std::string(scale) + " " + offset);
      std::istringstream plain(testmodels::houseObjPlain());
      std::ostringstream obj;
      for (std::string line; std::getline(plain, line);) {
        double x, y, z;
        if (std::sscanf(line.c_str(), "v %lf %lf %lf", &x, &y, &z) == 3) {
          const double k = std::atof(scale), d = k * std::atof(offset);
          obj << "v " << k * x + d << " " << k * y - d << " " << k * z + d << "\n";
        } else {
          obj << line << "\n";
        }
      }
      TempDir dir;
      const framing::PixelBox b = importBox(dir, obj.str());
      EXPECT_NEAR(b.width() / b.height(), 196.0 / 295.0, 0.03);
    }
  }
}

TEST(Frame, ASingleFlatTriangleFacingTheViewer) {
  TempDir dir;
  const framing::PixelBox b = importBox(dir, "v 0 0 0\nv 2 0 0\nv 1 1 0\nf 1 2 3\n");
  EXPECT_NEAR(b.left, view::kClickArea.left, 1.0);
  EXPECT_NEAR(b.right, view::kClickArea.right, 1.0);
}

// The program scales by the depth too: a body far deeper than high and
// wide can fill the rectangle only from right in front of the eye.
TEST(Frame, ADeepBodyShowsSmallerWithAHintToTurnIt) {
  TempDir dir;
  testmodels::writeFile((dir / "beam.obj").string(), boxObj(1, 1, 20));
  const std::string printed = import(optionsFor(dir / "beam.obj", dir / "data"));
  EXPECT_NE(printed.find("--turn 90 shows its long side"), std::string::npos) << printed;
  const importertest::ProgramRun run = readAsProgram(dir / "data");
  const framing::PixelBox b = importertest::bodyOf(run);
  EXPECT_NEAR(b.top, view::flameOrigin().y, 0.5);
  EXPECT_GE(b.left, view::kClickArea.left);
  EXPECT_LE(b.right, view::kClickArea.right);
  EXPECT_GE(b.bottom, view::kClickArea.bottom);
  for (const Vector3& v : run.meshes.lighterBaseVertices) {
    EXPECT_LT(view::worldToEye(view::baseToWorld(run.frame, {v.x, v.y, v.z})).z, -0.49);
  }
  importer::Options turned;
  turned.turnDegrees = 90.0;
  const framing::PixelBox side = importBox(dir, boxObj(1, 1, 20), turned);
  EXPECT_GT(side.width(), 200.0);
}

TEST(Simplify, AModelAboveTheBudgetComesOutWithinItStillFramed) {
  TempDir dir;
  const importer::Mesh candle = shapes::candle(30000);
  ASSERT_GT(candle.faces.size(), 30000u);
  shapes::exportModel(candle, (dir / "candle.ply").string(), importer::UpAxis{});
  importer::Options options = optionsFor(dir / "candle.ply", dir / "data");
  options.maxFaces = 2000;
  const std::string printed = import(options);
  const importertest::ProgramRun run = readAsProgram(dir / "data");
  EXPECT_LE(run.meshes.lighterBaseTriangles.size(), 2000u);
  EXPECT_GE(run.meshes.lighterBaseTriangles.size(), 1500u);
  EXPECT_NE(printed.find(std::to_string(candle.faces.size()) + " -> "), std::string::npos)
      << printed;
  EXPECT_NE(printed.find("% of the model's size"), std::string::npos) << printed;
  EXPECT_EQ(run.printed.find("face skipped"), std::string::npos);
  importertest::expectFramed(importertest::bodyOf(run));
}

TEST(Simplify, NoLimitKeepsEveryFace) {
  TempDir dir;
  const importer::Mesh candle = shapes::candle(30000);
  shapes::exportModel(candle, (dir / "candle.ply").string(), importer::UpAxis{});
  importer::Options options = optionsFor(dir / "candle.ply", dir / "data");
  options.maxFaces = 0;
  import(options);
  EXPECT_EQ(readAsProgram(dir / "data").meshes.lighterBaseTriangles.size(), candle.faces.size());
}

// A lighter case with its lid closed on top, made in one set of units.
struct CaseAndLid {
  TempDir dir;
  std::string printed;
  importertest::ProgramRun run;
  CaseAndLid(const importer::Mesh& body, const importer::Mesh& lid,
             size_t maxFaces = importer::kDefaultMaxFaces) {
    shapes::exportModel(body, (dir / "case.obj").string(), importer::UpAxis{});
    shapes::exportModel(lid, (dir / "lid.obj").string(), importer::UpAxis{});
    importer::Options options = optionsFor(dir / "case.obj", dir / "data");
    options.lid = (dir / "lid.obj").string();
    options.maxFaces = maxFaces;
    printed = import(options);
    run = readAsProgram(dir / "data");
  }
};

TEST(Lid, StandsOpenBesideTheBodysTopInsideTheWindowClearOfTheFlame) {
  const CaseAndLid model(shapes::lighterCase(500), shapes::lighterLid(200));
  EXPECT_EQ(model.run.printed.find("face skipped"), std::string::npos);
  EXPECT_EQ(model.run.meshes.lighterTopTriangles.size(), shapes::lighterLid(200).faces.size());
  const framing::PixelBox body = importertest::bodyOf(model.run);
  const framing::PixelBox lid = importertest::lidOf(model.run);
  importertest::expectFramed(body);
  EXPECT_GE(lid.left, view::flameOrigin().x + 50.0);
  EXPECT_LE(lid.right, view::kWindowWidth);
  EXPECT_GE(lid.bottom, 0.0);
  EXPECT_LE(lid.top, view::kWindowHeight);
  // Hinged at the body's upper right corner.
  EXPECT_NEAR(lid.left, body.right, 10.0);
  EXPECT_LT(lid.bottom, body.top);
  EXPECT_GT(lid.top, body.top + 50.0);
}

TEST(Lid, TooLargeForTheWindowIsShrunkToFit) {
  const importer::Mesh body = shapes::box(300, 4, 4, 1);
  const importer::Mesh lid = shapes::box(300, 12, 12, 1);
  const CaseAndLid model(body, lid);
  EXPECT_NE(model.printed.find("shrunk"), std::string::npos) << model.printed;
  const framing::PixelBox cover = importertest::lidOf(model.run);
  EXPECT_GE(cover.left, view::flameOrigin().x + 50.0);
  EXPECT_LE(cover.right, view::kWindowWidth);
  EXPECT_GE(cover.bottom, 0.0);
  EXPECT_LE(cover.top, view::kWindowHeight);
}

TEST(Lid, SharesTheFaceBudgetWithTheBody) {
  const CaseAndLid model(shapes::lighterCase(6000), shapes::lighterLid(3000), 1000);
  EXPECT_LE(
      model.run.meshes.lighterBaseTriangles.size() + model.run.meshes.lighterTopTriangles.size(),
      1000u);
  EXPECT_GT(model.run.meshes.lighterTopTriangles.size(), 0u);
}

// Additive drawing under the depth test shows a solid model only when each
// mesh's faces come nearest first.
TEST(Sort, FacesComeNearestFirstInTheProgramsView) {
  const CaseAndLid model(shapes::lighterCase(800), shapes::lighterLid(300));
  const MeshState& m = model.run.meshes;
  auto check = [&](const std::vector<Vector3>& vertices, const std::vector<Tri>& faces, bool lid) {
    double previous = HUGE_VAL;
    for (const Tri& f : faces) {
      double depth = 0.0;
      for (int c : {f.corner1, f.corner2, f.corner3}) {
        const Vector3& v = vertices[static_cast<size_t>(c - 1)];
        const view::Vec3 p{v.x, v.y, v.z};
        depth +=
            (lid ? view::lidToWorld(model.run.frame, p) : view::baseToWorld(model.run.frame, p)).z;
      }
      ASSERT_LE(depth, previous + 1e-9);
      previous = depth;
    }
  };
  check(m.lighterBaseVertices, m.lighterBaseTriangles, false);
  check(m.lighterTopVertices, m.lighterTopTriangles, true);
}

// The frame the importer computes is the frame the program computes, also
// where the reader's box start values bite (a body wholly at negative x).
TEST(ProgramView, FrameIsThePrograms) {
  dataset::Mesh base;
  for (int i = 0; i < 50; ++i) {
    base.vertices.push_back({-4.0 + 0.037 * i, 0.3 * std::sin(i), 1.0 / (i + 1)});
  }
  base.faces = {{0, 1, 2}, {3, 4, 5}};
  dataset::Mesh lid;
  lid.vertices = {{1.1, 2.2, 3.3}, {0.1, -0.2, 7.0}, {5.5, 1.0, -2.0}};
  lid.faces = {{0, 1, 2}};
  const view::MeshFrame mine = framing::programFrame(base, &lid);
  MeshState meshes;
  std::istringstream baseText(dataset::meshText(base, "", dataset::Numbers::kShortestFloat)),
      lidText(dataset::meshText(lid, "", dataset::Numbers::kShortestFloat));
  meshtest::printedBy([&](std::ostream& out) {
    readStream(meshes, baseText, 1, "base", out);
    prepareMesh(meshes, 1, out);
    readStream(meshes, lidText, 0, "lid", out);
    prepareMesh(meshes, 0, out);
  });
  EXPECT_EQ(mine.maxExtent, meshes.max_extent);
  EXPECT_EQ(mine.centerBase.x, meshes.centerBase.x);
  EXPECT_EQ(mine.centerBase.y, meshes.centerBase.y);
  EXPECT_EQ(mine.centerBase.z, meshes.centerBase.z);
  EXPECT_EQ(mine.centerTop.x, meshes.centerTop.x);
  EXPECT_EQ(mine.centerTop.z, meshes.centerTop.z);
  EXPECT_GT(mine.maxExtent, 4.0 - 0.037 * 49 + 0.5);  // measured from about 0, not from -2.2
}

TEST(ProgramView, FacesThatWouldHaveNoNormalAreDropped) {
  dataset::Mesh mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1e-30, 0, 0}};
  mesh.faces = {{0, 1, 2}, {0, 1, 3}, {0, 4, 3}, {0, 0, 3}};
  // On a line; a face; a face whose normal underflows in floats; a corner twice.
  EXPECT_EQ(framing::dropFacesWithoutNormal(mesh), 3u);
  ASSERT_EQ(mesh.faces.size(), 1u);
  EXPECT_EQ(mesh.faces[0][2], 3);
}

// The framing predicts the picture from the floats it writes, so each value
// must be one (a volatile float, so that no optimiser skips the rounding).
TEST(ProgramView, EveryValueFramedIsAFloat) {
  const importer::Mesh body = shapes::candle(300), lid = shapes::lighterLid(100);
  framing::Request request;
  request.lid = &lid;
  const framing::FramedModel model = framing::frameModel(body, request);
  for (const dataset::Mesh* mesh : {&model.base, &model.lid}) {
    ASSERT_FALSE(mesh->vertices.empty());
    for (const view::Vec3& v : mesh->vertices) {
      for (double c : {v.x, v.y, v.z}) {
        const volatile float rounded = static_cast<float>(c);
        ASSERT_EQ(c, static_cast<double>(rounded));
      }
    }
  }
}

TEST(Write, MeshTextHoldsOnlyVertexAndFaceLinesWithExactFloats) {
  dataset::Mesh mesh;
  const float values[] = {0.1f, -0.0f, 1e-7f, 123456.79f, -3.0e38f, 7.0f, 1.0f / 3.0f, -2.5e-20f};
  for (size_t i = 0; i + 2 < std::size(values); i += 2) {
    mesh.vertices.push_back({values[i], values[i + 1], values[i + 2]});
  }
  mesh.faces = {{0, 1, 2}};
  std::istringstream text(dataset::meshText(mesh, "", dataset::Numbers::kShortestFloat));
  size_t vertex = 0;
  for (std::string line; std::getline(text, line);) {
    ASSERT_TRUE(line[0] == 'v' || line[0] == 'f') << line;
    ASSERT_EQ(line.find_first_of("eE"), std::string::npos) << "plain decimals only: " << line;
    if (line[0] == 'f') {
      EXPECT_EQ(line, "f 1 2 3");
      continue;
    }
    std::istringstream fields(line.substr(2));
    const view::Vec3& v = mesh.vertices[vertex++];
    for (double expected : {v.x, v.y, v.z}) {
      std::string number;
      fields >> number;
      const float read = std::strtof(number.c_str(), nullptr);
      EXPECT_EQ(std::memcmp(&read, &static_cast<const float&>(static_cast<float>(expected)), 4), 0)
          << number;
    }
  }
  EXPECT_EQ(vertex, mesh.vertices.size());
}

TEST(Texture, SidesArePowersOfTwoFromFourTo512) {
  EXPECT_EQ(textureSide(1), 4);
  EXPECT_EQ(textureSide(5), 4);
  EXPECT_EQ(textureSide(6), 8);
  EXPECT_EQ(textureSide(300), 256);
  EXPECT_EQ(textureSide(400), 512);
  EXPECT_EQ(textureSide(100000), 512);
}

// An image 700 by 300, red above and blue below, as TGA and PNG.
TEST(Texture, ImageBecomesTheSurfaceTextureUprightInTheProgramsLayout) {
  TempDir dir;
  constexpr int kWidth = 700, kHeight = 300;
  std::vector<unsigned char> rgb(kWidth * kHeight * 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      unsigned char* p = &rgb[(y * kWidth + x) * 3];
      p[0] = y < kHeight / 2 ? 220 : 10;
      p[2] = y < kHeight / 2 ? 10 : 220;
    }
  }
  ASSERT_NE(stbi_write_tga((dir / "t.tga").c_str(), kWidth, kHeight, 3, rgb.data()), 0);
  ASSERT_NE(stbi_write_png((dir / "t.png").c_str(), kWidth, kHeight, 3, rgb.data(), 0), 0);
  // A model without texture coordinates: with them, the image would go
  // through them into modelTexture.bmp instead.
  testmodels::writeFile((dir / "house.obj").string(), testmodels::houseObjPlain());
  for (const char* image : {"t.tga", "t.png"}) {
    SCOPED_TRACE(image);
    importer::Options options = optionsFor(dir / "house.obj", dir / image += ".data");
    options.texture = (dir / image).string();
    import(options);
    const std::string bmp = importertest::contentOf(dir / image += ".data/silverTexture.bmp");
    ASSERT_GE(bmp.size(), 54u);
    auto le32 = [&](size_t at) {
      uint32_t v = 0;
      for (size_t i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(bmp[at + i])) << (8 * i);
      return v;
    };
    EXPECT_EQ(le32(18), 512u);
    EXPECT_EQ(le32(22), 256u);
    EXPECT_EQ(bmp.size(), 54u + 512u * 256u * 3u);
    // Bottom row first, blue-green-red: blue below, red above.
    EXPECT_GT(static_cast<uint8_t>(bmp[54]), 200);  // blue of the bottom row's first pixel
    const size_t topRow = 54 + static_cast<size_t>(255) * 512 * 3;
    EXPECT_GT(static_cast<uint8_t>(bmp[topRow + 2]), 200);  // red of the top row's
  }
}

}  // namespace
