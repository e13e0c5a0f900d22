// The web adapter's lighting math: what the emulation, which lights as if
// from infinitely far and has no fall-off, is told in place of GL's state.
#include <gtest/gtest.h>

#include "view/view_model.h"
#include "web/lighting.h"

namespace {

constexpr web::Matrix4f kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(WebLighting, TheLighterStandsWhereTheCameraLooks) {
  const view::Vec3 centre = web::sceneCentreInEye();
  EXPECT_DOUBLE_EQ(centre.x, 0.0);
  EXPECT_DOUBLE_EQ(centre.y, 0.0);
  EXPECT_DOUBLE_EQ(centre.z, -view::length(view::kLookAt - view::kEye));
}

TEST(WebLighting, APositionalLightShinesFromItselfTowardTheLighter) {
  const view::Vec3 centre{0, 0, -3};
  // Up, left and in front of a lighter 3 ahead: from the lighter that is
  // up, left and toward the eye, where taken as a direction from the eye it
  // would point behind the lighter.
  const web::Vec4 d = web::lightDirectionFrom(kIdentity, {-1.6f, 1.0f, -1.5f, 1.0f}, centre);
  EXPECT_FLOAT_EQ(d[0], -1.6f);
  EXPECT_FLOAT_EQ(d[1], 1.0f);
  EXPECT_FLOAT_EQ(d[2], 1.5f);
  EXPECT_EQ(d[3], 0.0f);
}

TEST(WebLighting, ThePositionGoesThroughTheModelviewAndItsW) {
  web::Matrix4f shifted = kIdentity;  // translation by (1, 2, 3), column-major
  shifted[12] = 1;
  shifted[13] = 2;
  shifted[14] = 3;
  const web::Vec4 d = web::lightDirectionFrom(shifted, {0.0f, 0.0f, -4.0f, 2.0f}, {0, 0, -3});
  // (0, 0, -4, 2) is the point (0, 0, -2), moved to (1, 2, 1): 4 in front of the centre.
  EXPECT_FLOAT_EQ(d[0], 1.0f);
  EXPECT_FLOAT_EQ(d[1], 2.0f);
  EXPECT_FLOAT_EQ(d[2], 4.0f);
  EXPECT_EQ(d[3], 0.0f);
  // A directional light is turned only, as GL turns it.
  const web::Vec4 sun = web::lightDirectionFrom(shifted, {0.0f, 1.0f, 0.0f, 0.0f}, {0, 0, -3});
  EXPECT_EQ(sun, (web::Vec4{0.0f, 1.0f, 0.0f, 0.0f}));
}

TEST(WebLighting, FallOffIsGLsFactorAtTheLightersDistance) {
  web::LightRecord light;
  light.positional = true;
  light.eyePosition = {0, 0, -1};  // 2 from the centre
  light.constantFalloff = 0.5f;
  light.linearFalloff = 0.25f;
  light.quadraticFalloff = 1.0f;
  EXPECT_FLOAT_EQ(web::falloffAt(light, {0, 0, -3}), 1.0f / (0.5f + 0.5f + 4.0f));
  light.positional = false;
  EXPECT_FLOAT_EQ(web::falloffAt(light, {0, 0, -3}), 1.0f);  // GL never weakens the sun
  light.positional = true;
  light.constantFalloff = light.linearFalloff = light.quadraticFalloff = 0.0f;
  EXPECT_FLOAT_EQ(web::falloffAt(light, {0, 0, -3}), 1.0f);  // no division by zero
  EXPECT_EQ(web::dimmed({1.0f, 0.5f, 0.2f, 0.7f}, 0.5f), (web::Vec4{0.5f, 0.25f, 0.1f, 0.7f}));
}

}  // namespace
