// Mesh files read and prepared in the order of start-up.
#include <gtest/gtest.h>

#include <string>

#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "tests/unit/mesh_test_support.h"

namespace {

using meshtest::expectVector;
using meshtest::printedBy;

const std::string kDir = std::string(TEST_DATA_DIR) + "/mesh";

std::string baseFace(int a, int b, int c) { return meshtest::baseFaceOutput(a, b, c); }

TEST(MeshFile, BaseThenLidPrintInStartUpOrder) {
  const std::string base = kDir + "/small_base.m";
  const std::string lid = kDir + "/small_lid.m";
  MeshState m;
  const std::string printed = printedBy([&](std::ostream& out) {
    ReadFile(m, base.c_str(), 1, out, out);
    prepareMesh(m, 1, out);
    ReadFile(m, lid.c_str(), 0, out, out);
    prepareMesh(m, 0, out);
  });
  EXPECT_EQ(printed, "Reading coordinates from " + base + "\n" + baseFace(1, 2, 3) +
                         baseFace(1, 3, 4) + baseFace(1, 2, 5) +
                         "first vertex: 0.000000 0.000000 0.000000 \n"
                         "first face: 1 2 3 \n"
                         "second vertex: 2.000000 0.000000 0.000000 \n"
                         "second face: 1 3 4 \n"
                         "third vertex: 2.000000 2.000000 0.000000 \n"
                         "third face: 1 2 5 \n"
                         "Reading coordinates from " +
                         lid +
                         "\nj is 1\nj is 2\nj is 3\ncalculating center and normal...\n"
                         "int isBase is 0...\nvectorA set for TOP...\nvectorB set for TOP...\n"
                         "vectors set and ready...\nfinished calculations\n");
  EXPECT_FLOAT_EQ(m.max_extent, 2.0f);
  expectVector(m.centerBase, 1, 1, 0.4f);
  expectVector(m.centerTop, 2.0f / 3, 2.0f / 3, 7.0f / 3);
  EXPECT_FLOAT_EQ(m.max_z, 3.0f);  // the lid widened the shared box
  ASSERT_EQ(m.lighterBaseTriangles.size(), 3u);
  expectVector(m.lighterBaseTriangles[2].normal, 0, -0.89442719f, 0.44721360f);
  ASSERT_EQ(m.lighterTopNormals.size(), 3u);
}

TEST(MeshFile, MissingFileIsReportedAndLeavesTheMeshEmpty) {
  const std::string name = kDir + "/no_such_file.m";
  MeshState m;
  std::ostringstream reason;
  EXPECT_EQ(printedBy([&](std::ostream& out) {
              EXPECT_FALSE(ReadFile(m, name.c_str(), 0, out, reason));
            }),
            "Reading coordinates from " + name + "\nCould not open file " + name + "\n");
  EXPECT_EQ(reason.str(), name + ": No such file or directory\n");
  EXPECT_TRUE(m.lighterTopVertices.empty());
}

TEST(MeshFile, DirectoryIsReportedLikeAFileThatCannotBeOpened) {
  MeshState m;
  std::ostringstream reason;
  EXPECT_EQ(printedBy([&](std::ostream& out) {
              EXPECT_FALSE(ReadFile(m, kDir.c_str(), 1, out, reason));
            }),
            "Reading coordinates from " + kDir + "\nCould not open file " + kDir + "\n");
  EXPECT_EQ(reason.str(), kDir + ": Is a directory\n");
  EXPECT_TRUE(m.lighterBaseVertices.empty());
}

}  // namespace
