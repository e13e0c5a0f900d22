// A lid without a body is framed by its own size, in the middle of the
// window, through the same view module the frame draws with.
#include <gtest/gtest.h>

#include "lighter/framing.h"
#include "tests/unit/mesh_test_support.h"
#include "view/view_model.h"

namespace {

view::MeshFrame frameOf(const MeshState& m) {
  const auto vec = [](const Vector3& v) { return view::Vec3{v.x, v.y, v.z}; };
  return {m.max_extent, vec(m.centerBase), vec(m.centerTop)};
}

// A lid far from the origin, in units of hundreds, as a modeller might leave it.
MeshState lidOnly() {
  MeshState m;
  meshtest::readText(m, "v 300 100 50\nv 340 100 50\nv 300 180 50\nv 340 180 60\nf 1 2 3\n", 0);
  m.centerTop = {320.0f, 140.0f, 52.5f};  // the mean, as preparation leaves it
  return m;
}

TEST(FrameLidAlone, PutsTheLidsCentreInTheMiddleOfTheWindowAtItsOwnSize) {
  MeshState m = lidOnly();
  ASSERT_TRUE(frameLidAlone(m));
  EXPECT_FLOAT_EQ(m.max_extent, 80.0f);  // its y extent, the larger
  const view::MeshFrame frame = frameOf(m);
  const view::Pixel centre = view::worldToWindow(view::lidToWorld(frame, frame.centerTop));
  EXPECT_NEAR(centre.x, view::flameOrigin().x, 0.5);
  EXPECT_NEAR(centre.y, view::flameOrigin().y, 0.5);
  for (const Vector3& v : m.lighterTopVertices) {
    const view::Pixel p = view::worldToWindow(view::lidToWorld(frame, {v.x, v.y, v.z}));
    EXPECT_GT(p.x, 0);
    EXPECT_LT(p.x, view::kWindowWidth);
    EXPECT_GT(p.y, 0);
    EXPECT_LT(p.y, view::kWindowHeight);
  }
}

TEST(FrameLidAlone, ABodyStillFramesBoth) {
  MeshState m = lidOnly();
  meshtest::readText(m, "v 0 0 0\n", 1);
  m.max_extent = 7.0f;
  EXPECT_FALSE(frameLidAlone(m));
  EXPECT_EQ(m.max_extent, 7.0f);
  EXPECT_EQ(m.centerBase.x, 0.0f);
}

}  // namespace
