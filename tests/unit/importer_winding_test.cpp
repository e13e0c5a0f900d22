// Faces wound outward whatever the model file did: the program lights each
// face by the normal it takes from the face's winding.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "importer/winding.h"
#include "tests/support/test_models.h"
#include "tests/unit/importer_test_support.h"

namespace {

using importertest::TempDir;

// A cube's corners and its six sides as quads wound outward
// (counter-clockwise seen from outside), corners numbered from 0.
constexpr int kCubeSides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                  {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};

view::Vec3 cubeCorner(int i, view::Vec3 at) {
  return {at.x + (i & 1 ? 2.0 : 0.0), at.y + (i & 2 ? 3.0 : 0.0), at.z + (i & 4 ? 1.5 : 0.0)};
}

// Twelve triangles; those whose bit is set in `flipped` wound inward.
void addCube(dataset::Mesh& mesh, unsigned flipped, view::Vec3 at = {}) {
  const int first = static_cast<int>(mesh.vertices.size());
  for (int i = 0; i < 8; ++i) mesh.vertices.push_back(cubeCorner(i, at));
  int triangle = 0;
  for (const auto& q : kCubeSides) {
    for (const dataset::Face f :
         {dataset::Face{q[0], q[1], q[2]}, dataset::Face{q[0], q[2], q[3]}}) {
      const bool in = (flipped >> triangle++) & 1u;
      mesh.faces.push_back({first + f[0], first + (in ? f[2] : f[1]), first + (in ? f[1] : f[2])});
    }
  }
}

// The cube as an OBJ file, each quad wound inward where its bit is set.
std::string cubeObj(unsigned flippedSides) {
  std::ostringstream obj;
  for (int i = 0; i < 8; ++i) {
    const view::Vec3 c = cubeCorner(i, {});
    obj << "v " << c.x << " " << c.y << " " << c.z << "\n";
  }
  for (int s = 0; s < 6; ++s) {
    const auto& q = kCubeSides[s];
    if ((flippedSides >> s) & 1u) {
      obj << "f " << q[3] + 1 << " " << q[2] + 1 << " " << q[1] + 1 << " " << q[0] + 1 << "\n";
    } else {
      obj << "f " << q[0] + 1 << " " << q[1] + 1 << " " << q[2] + 1 << " " << q[3] + 1 << "\n";
    }
  }
  return obj.str();
}

view::Vec3 centreOf(const std::vector<view::Vec3>& points) {
  view::Vec3 sum;
  for (const view::Vec3& p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

// How many faces of the convex pieces in `mesh` (each `perPiece` faces, in
// order) face away from their piece's middle.
size_t inwardFaces(const dataset::Mesh& mesh, size_t perPiece) {
  size_t inward = 0;
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    std::vector<view::Vec3> piece;
    for (size_t g = f / perPiece * perPiece; g < (f / perPiece + 1) * perPiece; ++g) {
      for (int c : mesh.faces[g]) piece.push_back(mesh.vertices[static_cast<size_t>(c)]);
    }
    const auto& c = mesh.faces[f];
    const view::Vec3 a = mesh.vertices[static_cast<size_t>(c[0])];
    const view::Vec3 b = mesh.vertices[static_cast<size_t>(c[1])];
    const view::Vec3 d = mesh.vertices[static_cast<size_t>(c[2])];
    const view::Vec3 normal = view::cross(b - a, d - a);
    if (view::dot(normal, centreOf({a, b, d}) - centreOf(piece)) <= 0.0) ++inward;
  }
  return inward;
}

TEST(Winding, FlippedOrMixedSolidsComeOutWoundOutward) {
  for (unsigned flipped : {0x000u, 0xfffu, 0x555u, 0x001u, 0xf0fu}) {
    dataset::Mesh mesh;
    addCube(mesh, flipped);
    const dataset::Mesh before = mesh;
    EXPECT_EQ(importer::windOutward(mesh), static_cast<size_t>(__builtin_popcount(flipped)))
        << std::hex << flipped;
    EXPECT_EQ(inwardFaces(mesh, 12), 0u) << std::hex << flipped;
    // Only the corners' order changes: each face keeps its corners.
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
      EXPECT_EQ(mesh.faces[f][0], before.faces[f][0]);
      EXPECT_EQ(mesh.faces[f][1] + mesh.faces[f][2], before.faces[f][1] + before.faces[f][2]);
    }
  }
}

TEST(Winding, EachSeparatePieceIsWoundOnItsOwn) {
  dataset::Mesh mesh;
  addCube(mesh, 0x000u);
  addCube(mesh, 0xfffu, {10.0, 0.0, 0.0});
  addCube(mesh, 0x0f0u, {0.0, 10.0, -4.0});
  EXPECT_EQ(importer::windOutward(mesh), 16u);
  EXPECT_EQ(inwardFaces(mesh, 12), 0u);
}

TEST(Winding, AFlatPieceAgreesWithMostOfItsFaces) {
  // A strip of four squares in the x-y plane; one triangle wound the other way.
  dataset::Mesh mesh;
  for (int i = 0; i <= 4; ++i) {
    mesh.vertices.push_back({double(i), 0.0, 0.0});
    mesh.vertices.push_back({double(i), 1.0, 0.0});
  }
  for (int i = 0; i < 4; ++i) {
    const int a = 2 * i, b = a + 2, c = a + 3, d = a + 1;
    mesh.faces.push_back({a, b, c});
    mesh.faces.push_back(i == 2 ? dataset::Face{a, d, c} : dataset::Face{a, c, d});
  }
  EXPECT_EQ(importer::windOutward(mesh), 1u);
  for (const auto& f : mesh.faces) {
    const view::Vec3 n = view::cross(mesh.vertices[f[1]] - mesh.vertices[f[0]],
                                     mesh.vertices[f[2]] - mesh.vertices[f[0]]);
    EXPECT_GT(n.z, 0.0);
  }
}

// Through the whole importer, as the program reads the files: every face's
// normal, as the program's reader computes it, points away from the body's
// middle, also for a file stood on its head with --up -z and turned.
TEST(Winding, ImportedCubesLightFromOutsideWhateverTheirFileAndTurn) {
  TempDir dir;
  int n = 0;
  for (unsigned flippedSides : {0x00u, 0x3fu, 0x15u}) {
    testmodels::writeFile((dir / "cube.obj").string(), cubeObj(flippedSides));
    for (const char* up : {"y", "-z", "x"}) {
      importer::Options options =
          importertest::optionsFor(dir / "cube.obj", dir / ("data" + std::to_string(n++)));
      options.up = importer::parseUpAxis(up);
      options.turnDegrees = 30.0;
      importertest::import(options);
      const importertest::ProgramRun run = importertest::readAsProgram(options.output);
      const auto& vertices = run.meshes.lighterBaseVertices;
      ASSERT_EQ(run.meshes.lighterBaseTriangles.size(), 12u);
      view::Vec3 middle;
      for (const Vector3& v : vertices) middle = middle + view::Vec3{v.x, v.y, v.z};
      middle = (1.0 / static_cast<double>(vertices.size())) * middle;
      for (const Tri& t : run.meshes.lighterBaseTriangles) {
        view::Vec3 centre;
        for (int c : {t.corner1, t.corner2, t.corner3}) {
          const Vector3& v = vertices[static_cast<size_t>(c - 1)];
          centre = centre + (1.0 / 3.0) * view::Vec3{v.x, v.y, v.z};
        }
        EXPECT_GT(view::dot({t.normal.x, t.normal.y, t.normal.z}, centre - middle), 0.0)
            << "sides flipped " << std::hex << flippedSides << ", up " << up;
      }
    }
  }
}

}  // namespace
