// Face lines of the `.m` reader: corners, normals, commentary and the faces
// that must be skipped.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "tests/unit/mesh_test_support.h"

namespace {

using meshtest::baseFaceOutput;
using meshtest::expectVector;
using meshtest::readText;

const char* const kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

TEST(MeshFace, BaseFacePrintsItsLinesInOrder) {
  MeshState m;
  EXPECT_EQ(readText(m, std::string(kTriangle) + "f 1 2 3\n", 1),
            "j is 1\nj is 2\nj is 3\ncalculating center and normal...\nint isBase is 1...\n"
            "vectors set and ready...\nfinished calculations\n");
}

TEST(MeshFace, LidFacePrintsTheTopLinesBetween) {
  MeshState m;
  EXPECT_EQ(readText(m, std::string(kTriangle) + "f 1 2 3\n", 0),
            "j is 1\nj is 2\nj is 3\ncalculating center and normal...\nint isBase is 0...\n"
            "vectorA set for TOP...\nvectorB set for TOP...\nvectors set and ready...\n"
            "finished calculations\n");
  ASSERT_EQ(m.lighterTopTriangles.size(), 1u);
  EXPECT_TRUE(m.lighterBaseTriangles.empty());
  EXPECT_TRUE(m.lighterBaseVertices.empty());
}

TEST(MeshFace, AnyNonZeroIsBaseMeansTheBaseMesh) {
  MeshState m;
  const std::string printed = readText(m, std::string(kTriangle) + "f 1 2 3\n", 7);
  EXPECT_NE(printed.find("int isBase is 7...\nvectors set and ready..."), std::string::npos);
  EXPECT_EQ(m.lighterBaseTriangles.size(), 1u);
}

struct NormalCase {
  const char* face;
  float x, y, z;
};

void PrintTo(const NormalCase& c, std::ostream* os) { *os << c.face; }

class FaceNormal : public testing::TestWithParam<NormalCase> {};

TEST_P(FaceNormal, IsTheUnitCrossProductOfTheEdges) {
  for (int isBase : {1, 0}) {
    MeshState m;
    readText(m, std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n") + GetParam().face, isBase);
    const auto& faces = isBase ? m.lighterBaseTriangles : m.lighterTopTriangles;
    ASSERT_EQ(faces.size(), 1u);
    expectVector(faces[0].normal, GetParam().x, GetParam().y, GetParam().z);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Normals, FaceNormal,
    testing::Values(NormalCase{"f 1 2 3", 0, 0, 1}, NormalCase{"f 1 3 2", 0, 0, -1},
                    NormalCase{"f 1 2 4", 0, -1, 0},
                    NormalCase{"f 2 3 4", 0.57735027f, 0.57735027f, 0.57735027f}));

TEST(MeshFace, CornersOnOneLineGiveANotANumberNormalSilently) {
  MeshState m;
  const std::string printed =
      readText(m, std::string(kTriangle) + "v 2 0 0\nf 1 1 2\nf 1 2 4\n", 1);
  EXPECT_EQ(printed, baseFaceOutput(1, 1, 2) + baseFaceOutput(1, 2, 4));
  ASSERT_EQ(m.lighterBaseTriangles.size(), 2u);
  for (const Tri& f : m.lighterBaseTriangles) {
    EXPECT_TRUE(std::isnan(f.normal.x) && std::isnan(f.normal.y) && std::isnan(f.normal.z));
  }
}

TEST(MeshFace, FourCornersGiveOneTriangleOfTheFirstThree) {
  MeshState m;
  const std::string printed = readText(m, std::string(kTriangle) + "v 1 1 0\nf 2 4 3 1\n", 1);
  EXPECT_EQ(printed,
            "j is 2\nj is 4\nj is 3\nj is 1\ncalculating center and normal...\n"
            "int isBase is 1...\nvectors set and ready...\nfinished calculations\n");
  ASSERT_EQ(m.lighterBaseTriangles.size(), 1u);
  const Tri& f = m.lighterBaseTriangles[0];
  EXPECT_EQ(f.corner1, 2);
  EXPECT_EQ(f.corner2, 4);
  EXPECT_EQ(f.corner3, 3);
}

TEST(MeshFace, FieldLongerThan99CharactersIsConvertedFromIts99First) {
  // 98 zeros and "12": the first 99 characters read 1, the whole field 12.
  const std::string field = std::string(98, '0') + "12";
  MeshState m;
  const std::string printed = readText(m, std::string(kTriangle) + "f 2 3 " + field + "\n", 1);
  EXPECT_EQ(printed, baseFaceOutput(2, 3, 1));
  ASSERT_EQ(m.lighterBaseTriangles.size(), 1u);
  EXPECT_EQ(m.lighterBaseTriangles[0].corner3, 1);
}

TEST(MeshFace, FurtherFieldsArePrintedEvenWhenOutOfRange) {
  MeshState m;
  const std::string printed =
      readText(m, std::string(kTriangle) + "f 1 2 3 -7 x 4/5 99999999999\n", 1);
  const std::string fields = "j is 1\nj is 2\nj is 3\nj is -7\nj is 0\nj is 4\nj is 2147483647\n";
  EXPECT_EQ(printed.substr(0, fields.size()), fields);
  EXPECT_EQ(printed.substr(fields.size(), 11), "calculating");
  EXPECT_EQ(m.lighterBaseTriangles.size(), 1u);
}

struct SkippedCase {
  const char* name;
  const char* face;
  const char* printed;
};

void PrintTo(const SkippedCase& c, std::ostream* os) { *os << c.name; }

class SkippedFace : public testing::TestWithParam<SkippedCase> {};

// Each bad face is on line 4, after three vertices; the good face after it
// shows that reading goes on.
TEST_P(SkippedFace, IsReportedAndKeptOutOfTheMesh) {
  MeshState m;
  const std::string text = std::string(kTriangle) + GetParam().face + "\nf 3 1 2\n";
  EXPECT_EQ(readText(m, text, 1), std::string(GetParam().printed) + baseFaceOutput(3, 1, 2));
  ASSERT_EQ(m.lighterBaseTriangles.size(), 1u);
  EXPECT_EQ(m.lighterBaseTriangles[0].corner1, 3);
}

INSTANTIATE_TEST_SUITE_P(
    BadFaces, SkippedFace,
    testing::Values(
        SkippedCase{"NoCorners", "f", "t.m:4: face skipped: it names 0 corners, a face needs 3\n"},
        SkippedCase{"OneCorner", "f 1",
                    "j is 1\nt.m:4: face skipped: it names 1 corner, a face needs 3\n"},
        SkippedCase{"TwoCorners", "f 1 2",
                    "j is 1\nj is 2\nt.m:4: face skipped: it names 2 corners, a face needs 3\n"},
        SkippedCase{"TabIsNoSeparator", "f\t1 2 3",
                    "j is 2\nj is 3\nt.m:4: face skipped: it names 2 corners, a face needs 3\n"},
        SkippedCase{"CornerZero", "f 0 1 2",
                    "j is 0\nj is 1\nj is 2\n"
                    "t.m:4: face skipped: corner 0 is not a vertex read so far (1 to 3)\n"},
        SkippedCase{"FieldWithoutDigits", "f 1 /2 3",
                    "j is 1\nj is 0\nj is 3\n"
                    "t.m:4: face skipped: corner 0 is not a vertex read so far (1 to 3)\n"},
        SkippedCase{"NegativeCorner", "f 1 -2 3",
                    "j is 1\nj is -2\nj is 3\n"
                    "t.m:4: face skipped: corner -2 is not a vertex read so far (1 to 3)\n"},
        SkippedCase{"LaterVertex", "f 1 2 4",
                    "j is 1\nj is 2\nj is 4\n"
                    "t.m:4: face skipped: corner 4 is not a vertex read so far (1 to 3)\n"},
        // 2^32 + 1 would be corner 1 if it were cut to 32 bits.
        SkippedCase{
            "BeyondIntNotTruncated", "f 1 2 4294967297",
            "j is 1\nj is 2\nj is 2147483647\n"
            "t.m:4: face skipped: corner 4294967297 is not a vertex read so far (1 to 3)\n"},
        SkippedCase{
            "BelowInt", "f -4294967295 1 2",
            "j is -2147483648\nj is 1\nj is 2\n"
            "t.m:4: face skipped: corner -4294967295 is not a vertex read so far (1 to 3)\n"},
        SkippedCase{"BeyondLong", "f 1 99999999999999999999 2",
                    "j is 1\nj is 2147483647\nj is 2\nt.m:4: face skipped: corner "
                    "9223372036854775807 is not a vertex read so far (1 to 3)\n"}),
    [](const testing::TestParamInfo<SkippedCase>& info) { return info.param.name; });

TEST(MeshFace, FaceBeforeAnyVertexIsSkipped) {
  MeshState m;
  EXPECT_EQ(readText(m, "f 1 2 3\n", 0),
            "j is 1\nj is 2\nj is 3\n"
            "t.m:1: face skipped: corner 1 is not a vertex read so far (none read yet)\n");
  EXPECT_TRUE(m.lighterTopTriangles.empty());
}

TEST(MeshFace, SkipMessageCountsBlankAndCarriageReturnLines) {
  MeshState m;
  const std::string printed = readText(m, "\n\r\nv 0 0 0\r\n\r\n  f 1 1 5\r\n", 1);
  EXPECT_NE(printed.find("t.m:5: face skipped: corner 5"), std::string::npos) << printed;
}

}  // namespace
