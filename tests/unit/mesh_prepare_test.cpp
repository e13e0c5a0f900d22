// Mesh preparation: the printed check, the scale divisor, the centres and the
// per-vertex normals.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "mesh/prepare.h"
#include "tests/unit/mesh_test_support.h"

namespace {

using meshtest::expectVector;
using meshtest::printedBy;
using meshtest::readText;

// n vertices (k, k*k, -k) for k = 1..n, and the given face lines.
std::string vertices(int n) {
  std::string text;
  for (int k = 1; k <= n; ++k) {
    text +=
        "v " + std::to_string(k) + " " + std::to_string(k * k) + " " + std::to_string(-k) + "\n";
  }
  return text;
}

struct DiagnosticsCase {
  const char* name;
  int isBase;
  int vertexCount;
  const char* faces;
  const char* printed;
};

void PrintTo(const DiagnosticsCase& c, std::ostream* os) { *os << c.name; }

class Diagnostics : public testing::TestWithParam<DiagnosticsCase> {};

TEST_P(Diagnostics, PrintsTheFirstVerticesAndFacesOfMeshesOverFourVertices) {
  const DiagnosticsCase& c = GetParam();
  MeshState m;
  readText(m, vertices(c.vertexCount) + c.faces, c.isBase);
  EXPECT_EQ(printedBy([&](std::ostream& out) { prepareMesh(m, c.isBase, out); }), c.printed);
}

const char* const kThreeFaces = "f 1 2 3\nf 2 4 5\nf 5 3 1\n";

INSTANTIATE_TEST_SUITE_P(
    Prepare, Diagnostics,
    testing::Values(DiagnosticsCase{"FourVerticesPrintNothing", 1, 4, "f 1 2 3\nf 2 3 4\nf 4 1 2\n",
                                    ""},
                    DiagnosticsCase{"FiveVerticesThreeFaces", 1, 5, kThreeFaces,
                                    "first vertex: 1.000000 1.000000 -1.000000 \n"
                                    "first face: 1 2 3 \n"
                                    "second vertex: 2.000000 4.000000 -2.000000 \n"
                                    "second face: 2 4 5 \n"
                                    "third vertex: 3.000000 9.000000 -3.000000 \n"
                                    "third face: 5 3 1 \n"},
                    DiagnosticsCase{"LidLikewise", 0, 6, kThreeFaces,
                                    "first vertex: 1.000000 1.000000 -1.000000 \n"
                                    "first face: 1 2 3 \n"
                                    "second vertex: 2.000000 4.000000 -2.000000 \n"
                                    "second face: 2 4 5 \n"
                                    "third vertex: 3.000000 9.000000 -3.000000 \n"
                                    "third face: 5 3 1 \n"},
                    DiagnosticsCase{"TwoFacesNoThirdFaceLine", 1, 5, "f 1 2 3\nf 2 4 5\n",
                                    "first vertex: 1.000000 1.000000 -1.000000 \n"
                                    "first face: 1 2 3 \n"
                                    "second vertex: 2.000000 4.000000 -2.000000 \n"
                                    "second face: 2 4 5 \n"
                                    "third vertex: 3.000000 9.000000 -3.000000 \n"},
                    DiagnosticsCase{"NoFacesOnlyVertexLines", 0, 5, "",
                                    "first vertex: 1.000000 1.000000 -1.000000 \n"
                                    "second vertex: 2.000000 4.000000 -2.000000 \n"
                                    "third vertex: 3.000000 9.000000 -3.000000 \n"},
                    DiagnosticsCase{"EmptyMeshPrintsNothing", 1, 0, "", ""}),
    [](const testing::TestParamInfo<DiagnosticsCase>& info) { return info.param.name; });

struct ExtentCase {
  const char* name;
  const char* base;
  const char* lid;
  float extent;
};

void PrintTo(const ExtentCase& c, std::ostream* os) { *os << c.name; }

class MaxExtent : public testing::TestWithParam<ExtentCase> {};

TEST_P(MaxExtent, ComesFromTheBaseMeshBoxInXAndYOnly) {
  const ExtentCase& c = GetParam();
  MeshState m;
  readText(m, c.base, 1);
  printedBy([&](std::ostream& out) { prepareMesh(m, 1, out); });
  readText(m, c.lid, 0);
  printedBy([&](std::ostream& out) { prepareMesh(m, 0, out); });
  EXPECT_FLOAT_EQ(m.max_extent, c.extent);
}

INSTANTIATE_TEST_SUITE_P(
    Prepare, MaxExtent,
    testing::Values(ExtentCase{"ZIgnored", "v -1 -1.5 -5\nv 1 1.5 5\n", "", 3.0f},
                    ExtentCase{"XWider", "v -3 0 0\nv 1 1 0\n", "", 4.0f},
                    ExtentCase{"EqualExtents", "v 0 0 0\nv 2 2 9\n", "", 2.0f},
                    // The maximum's start value, about 0, stays the largest x.
                    ExtentCase{"AllNegativeXMeasuredFromZero", "v -4 0 0\nv -2 1 0\n", "", 4.0f},
                    ExtentCase{"PositiveXUnaffected", "v 2 0 0\nv 4 1 0\n", "", 2.0f},
                    ExtentCase{"LidBeyondBaseIgnored", "v 0 0 0\nv 2 1 0\n",
                               "v -10 -10 0\nv 10 10 0\n", 2.0f},
                    ExtentCase{"EmptyBaseKeepsOne", "", "v 0 0 0\nv 5 5 0\n", 1.0f}),
    [](const testing::TestParamInfo<ExtentCase>& info) { return info.param.name; });

TEST(MeshPrepare, CentreIsTheMeanOfTheVertices) {
  MeshState m;
  readText(m, "v 0 0 0\nv 2 0 0\nv 0 4 0\nv 2 4 6\n", 0);
  readText(m, "v 8 8 8\n", 1);
  printedBy([&](std::ostream& out) { prepareMesh(m, 0, out); });
  expectVector(m.centerTop, 1, 2, 1.5f);
  expectVector(m.centerBase, 8, 8, 8);  // the base is not prepared yet: still its sum
}

TEST(MeshPrepare, MeshWithoutVerticesKeepsCentreAtOrigin) {
  for (int isBase : {1, 0}) {
    MeshState m;
    EXPECT_EQ(printedBy([&](std::ostream& out) { prepareMesh(m, isBase, out); }), "");
    expectVector(isBase ? m.centerBase : m.centerTop, 0, 0, 0);
    EXPECT_TRUE(m.lighterBaseNormals.empty());
    EXPECT_TRUE(m.lighterTopNormals.empty());
  }
}

TEST(MeshPrepare, LidLeavesExtentAndBaseAlone) {
  MeshState m;
  readText(m, "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", 0);
  m.max_extent = 7.0f;
  printedBy([&](std::ostream& out) { prepareMesh(m, 0, out); });
  EXPECT_EQ(m.max_extent, 7.0f);
  EXPECT_TRUE(m.lighterBaseNormals.empty());
  EXPECT_EQ(m.lighterTopNormals.size(), 3u);
}

struct SharedVertexCase {
  int faces;  // faces with the normal (0, 0, 1) that name vertex 1
  float z;    // vertex 1's normal
};

void PrintTo(const SharedVertexCase& c, std::ostream* os) { *os << c.faces << " faces"; }

class VertexNormal : public testing::TestWithParam<SharedVertexCase> {};

TEST_P(VertexNormal, IsTheFaceNormalSumDividedByFive) {
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 5 5 5\n";
  for (int k = 0; k < GetParam().faces; ++k) text += "f 1 2 3\n";
  for (int isBase : {1, 0}) {
    MeshState m;
    readText(m, text, isBase);
    printedBy([&](std::ostream& out) { prepareMesh(m, isBase, out); });
    const auto& normals = isBase ? m.lighterBaseNormals : m.lighterTopNormals;
    ASSERT_EQ(normals.size(), 4u);  // one per vertex, named or not
    expectVector(normals[0], 0, 0, GetParam().z);
    expectVector(normals[3], 0, 0, 0);  // named by no face
  }
}

INSTANTIATE_TEST_SUITE_P(Prepare, VertexNormal,
                         testing::Values(SharedVertexCase{1, 0.2f}, SharedVertexCase{5, 1.0f},
                                         SharedVertexCase{10, 2.0f}));

TEST(MeshPrepare, VertexNormalAddsTheNormalsOfDifferentFaces) {
  MeshState m;
  // Normals (0, 0, 1), (0, -1, 0) and (-1, 0, 0) all meet at vertex 1.
  readText(m, "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\nf 1 4 3\n", 1);
  printedBy([&](std::ostream& out) { prepareMesh(m, 1, out); });
  ASSERT_EQ(m.lighterBaseNormals.size(), 4u);
  expectVector(m.lighterBaseNormals[0], -0.2f, -0.2f, 0.2f);
  expectVector(m.lighterBaseNormals[1], 0, -0.2f, 0.2f);
  expectVector(m.lighterBaseNormals[3], -0.2f, -0.2f, 0);
}

TEST(MeshPrepare, NotANumberFaceNormalSpreadsToItsCornersOnly) {
  MeshState m;
  readText(m, "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n", 1);
  printedBy([&](std::ostream& out) { prepareMesh(m, 1, out); });
  ASSERT_EQ(m.lighterBaseNormals.size(), 4u);
  EXPECT_TRUE(std::isnan(m.lighterBaseNormals[2].z));
  EXPECT_TRUE(std::isnan(m.lighterBaseNormals[0].z));
  expectVector(m.lighterBaseNormals[3], 0, 0, 0.2f);
}

}  // namespace
