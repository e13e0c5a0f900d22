// The one bounding box: its start values decide what a coordinate that is
// not a number does, and each caller keeps its own start.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "lighter/framing.h"
#include "mesh/measure.h"
#include "tests/unit/mesh_test_support.h"

namespace {

const float kNaN = std::nanf("");

TEST(Box, FromInfinitiesSkipsACoordinateThatIsNotANumber) {
  const std::vector<Vector3> points{{kNaN, 1, 2}, {-1, kNaN, 5}, {3, 4, kNaN}};
  const Box<Vector3> box = boxOf(points, Box<Vector3>{{HUGE_VALF, HUGE_VALF, HUGE_VALF},
                                                      {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF}});
  EXPECT_EQ(box.min.x, -1.0f);
  EXPECT_EQ(box.max.x, 3.0f);
  EXPECT_EQ(box.min.y, 1.0f);
  EXPECT_EQ(box.max.y, 4.0f);
  EXPECT_EQ(box.min.z, 2.0f);
  EXPECT_EQ(box.max.z, 5.0f);
  EXPECT_EQ(box.size().x, 4.0f);
}

TEST(Box, FromTheFirstPointKeepsItsCoordinateThatIsNotANumber) {
  const std::vector<Vector3> points{{kNaN, 1, 2}, {-1, kNaN, 5}, {3, 4, 0}};
  const Box<Vector3> box = boxFromFirst<Vector3>(points);
  EXPECT_TRUE(std::isnan(box.min.x));
  EXPECT_TRUE(std::isnan(box.max.x));
  EXPECT_EQ(box.min.y, 1.0f);  // a later one widens nothing
  EXPECT_EQ(box.max.y, 4.0f);
  EXPECT_EQ(box.min.z, 0.0f);
  EXPECT_EQ(box.max.z, 5.0f);
}

TEST(Box, TheReadersBoxStartsFromTheSharedStartValues) {
  MeshState m;
  meshtest::readText(m, "v -3 -4 -5\nv -1 -2 -6\n", 1);
  const Box<Vector3> shared = sharedBox(m);
  EXPECT_EQ(shared.min.x, -3.0f);
  EXPECT_EQ(shared.max.x, kBoxMaxStart);  // no vertex reached above the start value
  EXPECT_EQ(shared.max.z, kBoxMaxStart);
  EXPECT_EQ(shared.min.z, -6.0f);
  // Both ranges measure from the maximum's start value: y gives 4, not 2.
  EXPECT_FLOAT_EQ(boxExtent(m), 4.0f);
  EXPECT_EQ(readerExtent(m.lighterBaseVertices), boxExtent(m));
}

TEST(Box, PlanExtentIsTheLargerOfXAndYWhateverZ) {
  EXPECT_EQ(planExtent({{0, 0, -100}, {2, 3, 100}}), 3.0f);
  EXPECT_EQ(planExtent({{0, 0, 0}, {5, 3, 0}}), 5.0f);
  EXPECT_TRUE(std::isnan(planExtent({{kNaN, 0, 0}, {kNaN, 3, 0}})));
}

TEST(FrameLidAlone, ALidWhoseFirstVertexIsNotANumberKeepsTheDivisor) {
  MeshState m;
  meshtest::readText(m, "v nan 0 0\nv 1 2 0\nv 0 8 0\nf 1 2 3\n", 0);
  ASSERT_TRUE(frameLidAlone(m));
  EXPECT_EQ(m.max_extent, 1.0f);
}

}  // namespace
