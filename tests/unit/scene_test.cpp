// The scene's start values and the window-size arithmetic of the frame.
#include <gtest/gtest.h>

#include <cmath>

#include "lighter/scene.h"
#include "render/view.h"

namespace {

TEST(StartValues, AreTheOnesTheEventLoopStartsWith) {
  Scene s;
  // Values a run may have left behind must all be replaced.
  s.meshes.max_x = s.meshes.max_y = s.meshes.max_z = -5.0f;
  s.meshes.min_x = s.meshes.min_y = s.meshes.min_z = 5.0f;
  s.meshes.centerBase = {1, 2, 3};
  s.meshes.centerTop = {4, 5, 6};
  s.meshes.max_extent = 7.0f;
  s.flame.col = 9;
  s.flame.rainbow = true;
  s.flame.playSpark = s.flame.flameOn = 1;
  s.act = 3;
  s.view.display_mode = kWireframe;
  s.view.positionX = s.view.positionY = s.view.scaleSize = 0.0f;

  assignStartValues(s);

  EXPECT_EQ(s.meshes.max_x, 1.1754e-38f);
  EXPECT_EQ(s.meshes.max_y, 1.1754e-38f);
  EXPECT_EQ(s.meshes.max_z, 1.1754e-38f);
  EXPECT_EQ(s.meshes.min_x, 1.1754e38f);
  EXPECT_EQ(s.meshes.min_y, 1.1754e38f);
  EXPECT_EQ(s.meshes.min_z, 1.1754e38f);
  EXPECT_EQ(s.meshes.centerBase.x + s.meshes.centerBase.y + s.meshes.centerBase.z, 0.0f);
  EXPECT_EQ(s.meshes.centerTop.x + s.meshes.centerTop.y + s.meshes.centerTop.z, 0.0f);
  EXPECT_EQ(s.meshes.max_extent, 1.0f);
  EXPECT_EQ(s.flame.col, 1);
  EXPECT_FALSE(s.flame.rainbow);
  EXPECT_EQ(s.flame.playSpark, 0);
  EXPECT_EQ(s.flame.flameOn, 0);
  EXPECT_EQ(s.act, 0);
  EXPECT_EQ(s.view.display_mode, kSmooth);
  // The placement starts where the view module puts the model.
  EXPECT_EQ(s.view.positionX, static_cast<float>(view::kPositionX));
  EXPECT_EQ(s.view.positionY, static_cast<float>(view::kPositionY));
  EXPECT_EQ(s.view.scaleSize, static_cast<float>(view::kScaleSize));
}

TEST(AspectRatio, IsAFloatingPointQuotient) {
  EXPECT_DOUBLE_EQ(view::aspectRatio(800, 600), 800.0 / 600.0);
  EXPECT_DOUBLE_EQ(view::aspectRatio(600, 800), 0.75);  // integer division would give 0
  EXPECT_DOUBLE_EQ(view::aspectRatio(1, 1), 1.0);
}

TEST(AspectRatio, StaysFiniteAndPositiveForAWindowSquashedToNothing) {
  const int sizes[][2] = {{800, 0}, {0, 600}, {0, 0}, {800, -3}};
  for (const auto& size : sizes) {
    const double aspect = view::aspectRatio(size[0], size[1]);
    EXPECT_TRUE(std::isfinite(aspect)) << size[0] << "x" << size[1];
    EXPECT_GT(aspect, 0.0) << size[0] << "x" << size[1];
  }
  EXPECT_DOUBLE_EQ(view::aspectRatio(800, 0), 800.0);
}

}  // namespace
