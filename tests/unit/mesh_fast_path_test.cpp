// The reader's fast paths must not be seen: vertex lines read through strtof
// give the floats and the messages that sscanf("v %g %g %g") gives, and the
// gathered face commentary is byte for byte what printf would have printed.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/unit/mesh_test_support.h"

namespace {

using meshtest::readText;

bool sameFloat(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

class VertexLikeSscanf : public testing::TestWithParam<const char*> {};

TEST_P(VertexLikeSscanf, SameFloatsAndSameMessage) {
  const std::string line = GetParam();
  Vector3 expected;
  const int converted =
      std::sscanf(line.c_str(), "v %g %g %g", &expected.x, &expected.y, &expected.z);
  MeshState meshes;
  const std::string printed = readText(meshes, line + "\n", 1);
  EXPECT_EQ(printed, converted < 3 ? "an error occurred in reading vertices\n" : "");
  ASSERT_EQ(meshes.lighterBaseVertices.size(), 1u);
  const Vector3& v = meshes.lighterBaseVertices[0];
  EXPECT_TRUE(sameFloat(v.x, expected.x)) << v.x << " vs " << expected.x;
  EXPECT_TRUE(sameFloat(v.y, expected.y)) << v.y << " vs " << expected.y;
  EXPECT_TRUE(sameFloat(v.z, expected.z)) << v.z << " vs " << expected.z;
}

INSTANTIATE_TEST_SUITE_P(PlainAndOtherForms, VertexLikeSscanf,
                         testing::Values("v 1.5 -2.25 3", "v 0.1 0.2 0.3", "v 1. .5 -0",
                                         "v +.5 -.5 1.", "v 00001.2500 -0000 +7", "v\t1\t2\t3\t",
                                         "v 1 2 3abc", "v 16777217 0 0", "v 3.4028236e38 1e-50 2",
                                         "v 340282356779733661637539395458142568448 0 0",
                                         "v 0.000000000000000000000000000000000000000000001 0 0",
                                         // not plain: sscanf decides
                                         "v 1.0-2.0 3", "v1 2 3", "v 1e5 2 3", "v 1 2 3e",
                                         "v 1e 2 3", "v 1 2 1e+", "v 0x10 inf -nan", "v - 1 2",
                                         "v 1.5.5 2 3", "v 1 2", "vt 0.5 0.5", "v"));

TEST(FaceCommentary, NumbersPrintAsPrintfPrintsThem) {
  MeshState meshes;
  readText(meshes, "v 0 0 0\nv 1 0 0\nv 0 1 0\n", 1);
  const std::string printed =
      readText(meshes, "f 1 2 3 0 -7 2147483647 -2147483648 99999999999 -99999999999\n", -12);
  char expected[512];
  std::snprintf(expected, sizeof expected,
                "j is %d\nj is %d\nj is %d\nj is %d\nj is %d\nj is %d\nj is %d\nj is %d\n"
                "j is %d\ncalculating center and normal...\nint isBase is %d...\n"
                "vectors set and ready...\nfinished calculations\n",
                1, 2, 3, 0, -7, INT_MAX, INT_MIN, INT_MAX, INT_MIN, -12);
  EXPECT_EQ(printed, expected);
}

// The most commentary one line can give: 255 characters of one-digit fields.
TEST(FaceCommentary, LongestLineOfFieldsPrintsEveryField) {
  MeshState meshes;
  readText(meshes, "v 0 0 0\nv 1 0 0\nv 0 1 0\n", 0);
  std::string line = "f 1 2 3";
  std::string expected = "j is 1\nj is 2\nj is 3\n";
  while (line.size() + 2 <= 255) {
    line += " 9";
    expected += "j is 9\n";
  }
  expected +=
      "calculating center and normal...\nint isBase is 0...\nvectorA set for TOP...\n"
      "vectorB set for TOP...\nvectors set and ready...\nfinished calculations\n";
  EXPECT_EQ(readText(meshes, line + "\n", 0), expected);
}

}  // namespace
