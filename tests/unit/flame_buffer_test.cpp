// Lit's flame squares and its buffer, without a window: the vertex array
// one draw sends, the particles' box on screen, the buffer's sizes and the
// choice between framebuffer objects and copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "render/flame_buffer.h"
#include "render/flame_look.h"
#include "render/flame_quads.h"
#include "view/camera.h"
#include "view/flame_view.h"
#include "view/view_model.h"

namespace {

TEST(FlameQuads, ASquareIsTwoTrianglesWithTheOtherModesCornersAndOneColour) {
  FlameQuads quads;
  const float centre[3] = {1.0f, 2.0f, -10.0f}, u[3] = {0.5f, 0.0f, 0.0f},
              v[3] = {0.0f, 0.25f, 0.0f}, rgba[4] = {1.0f, 0.5f, 0.25f, 0.125f};
  emitQuad(quads, centre, u, v, rgba);
  ASSERT_EQ(quads.count, 6u);
  // Upper right, upper left, lower right; lower right, upper left, lower left.
  const float want[6][4] = {{1.5f, 2.25f, 1, 1}, {0.5f, 2.25f, 0, 1}, {1.5f, 1.75f, 1, 0},
                            {1.5f, 1.75f, 1, 0}, {0.5f, 2.25f, 0, 1}, {0.5f, 1.75f, 0, 0}};
  for (int i = 0; i < 6; ++i) {
    const FlameVertex& c = quads.vertices[i];
    EXPECT_EQ(c.x, want[i][0]) << i;
    EXPECT_EQ(c.y, want[i][1]) << i;
    EXPECT_EQ(c.z, -10.0f) << i;
    EXPECT_EQ(c.s, want[i][2]) << i;
    EXPECT_EQ(c.t, want[i][3]) << i;
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 0.5f);
    EXPECT_EQ(c.b, 0.25f);
    EXPECT_EQ(c.a, 0.125f);
  }
  EXPECT_EQ(quads.low[0], 0.5f);
  EXPECT_EQ(quads.high[0], 1.5f);
  EXPECT_EQ(quads.low[1], 1.75f);
  EXPECT_EQ(quads.high[1], 2.25f);
}

TEST(FlameQuads, TheBoxTakesEverySquareAndAFullArrayTakesNoMore) {
  FlameQuads quads;
  const float u[3] = {0.5f, 0.0f, 0.0f}, v[3] = {0.0f, 0.5f, 0.0f}, rgba[4] = {1, 1, 1, 1};
  for (int i = 0; i < kParticleCount + 5; ++i) {
    const float centre[3] = {static_cast<float>(i % 7), -static_cast<float>(i % 5),
                             -10.0f - static_cast<float>(i % 3)};
    emitQuad(quads, centre, u, v, rgba);
  }
  EXPECT_EQ(quads.count, 6u * kParticleCount);
  EXPECT_EQ(quads.vertices.size(), 6u * kParticleCount);
  EXPECT_EQ(quads.low[0], -0.5f);
  EXPECT_EQ(quads.high[0], 6.5f);
  EXPECT_EQ(quads.low[1], -4.5f);
  EXPECT_EQ(quads.high[1], 0.5f);
  EXPECT_EQ(quads.low[2], -12.0f);
  EXPECT_EQ(quads.high[2], -10.0f);
  clearQuads(quads);
  EXPECT_EQ(quads.count, 0u);
}

TEST(FlameQuads, OnlyAliveParticlesWithAVisibleLookAtTheirLooksCentreAndZoom) {
  auto flame = std::make_unique<FlameState>();
  flame->yspeed = 80.0f;
  flame->zoom = -10.0f;
  for (Particle& p : flame->particle) {  // never initialised: not alive
    p.velocity[1] = 80.0f;
  }
  // Born in the flame, 10 frames and past the tip's age on.
  Particle& young = flame->particle[3];
  young.alive = true;
  young.life = 1.0f;
  young.fadeRate = 0.01f;
  young.velocity[0] = 12.0f;
  young.velocity[1] = 95.0f;
  young.acceleration[1] = 1.49f;
  Particle& old = flame->particle[4];
  old = young;
  for (int frame = 0; frame < 10; ++frame) advanceParticle(young, *flame, nullptr);
  for (int frame = 0; frame < kFlameTipAge + 1; ++frame) advanceParticle(old, *flame, nullptr);
  FlameQuads quads;
  buildFlameQuads(*flame, quads);
  ASSERT_EQ(quads.count, 6u);
  const ParticleLook look = lookOf(young, *flame);
  EXPECT_FLOAT_EQ(quads.vertices[0].x, look.centre[0] + look.halfU[0]);
  EXPECT_FLOAT_EQ(quads.vertices[0].y, look.centre[1] + look.halfV[1]);
  EXPECT_FLOAT_EQ(quads.vertices[0].z, -10.0f);
  EXPECT_EQ(quads.vertices[0].a, look.rgba[3]);
}

// A steady flame and a burst's start, a few frames on, by the program's
// own arithmetic.
std::unique_ptr<FlameState> flyingFlame(int sparkFrames) {
  auto flame = std::make_unique<FlameState>();
  std::srand(3);
  initParticles(*flame, std::rand);
  flame->yspeed = 80.0f;
  for (int pass = 0; pass < 80; ++pass) {
    flame->playSpark = pass < sparkFrames ? 1 : 0;
    particlePass(*flame, std::rand, nullptr);
  }
  return flame;
}

// At the start view, the camera's placement of each square covers the
// pixels of the square drawn in eye coordinates: the moved camera's
// squares are the same squares, on the lighter.
TEST(FlameQuads, PlacedForTheStartRigTheyCoverTheStartViewsPixels) {
  const view::FlamePlacement placed = view::flamePlacement(view::kStartRig, 2.81);
  for (float zoom : {-10.0f, -40.0f}) {
    auto flame = flyingFlame(zoom < -20.0f ? 78 : 0);  // a steady flame, and a burst
    flame->zoom = zoom;
    FlameQuads start, moved;
    buildFlameQuads(*flame, start);
    buildFlameQuads(*flame, moved, &placed);
    ASSERT_GT(start.count, 600u);
    ASSERT_EQ(moved.count, start.count);
    for (size_t i = 0; i < start.count; ++i) {
      const FlameVertex &a = start.vertices[i], &b = moved.vertices[i];
      const view::Pixel pa = view::eyeToWindow({a.x, a.y, a.z});
      const view::Pixel pb = view::eyeToWindow({b.x, b.y, b.z});
      ASSERT_LT(std::abs(pa.x - pb.x), 0.5) << zoom << " vertex " << i;
      ASSERT_LT(std::abs(pa.y - pb.y), 0.5) << zoom << " vertex " << i;
    }
  }
}

// Turned a quarter round, a spark flying across the start view (along x)
// flies at the eye: a dot, not a streak; one flying along z now streaks.
TEST(FlameQuads, AMovedCameraSeesTheSparksStreakAlongTheirFlightAsItSeesIt) {
  const view::Rig rig = view::rigFor({90, 0, 1.0}, view::stageOf(view::Box{}));
  const view::FlamePlacement placed = view::flamePlacement(rig, 2.8);
  auto flame = std::make_unique<FlameState>();
  flame->zoom = -40.0f;
  auto streakOf = [&](float vx, float vz) {
    Particle& p = flame->particle[0];
    p = Particle{};
    p.alive = true;
    p.life = 0.5f;
    p.fadeRate = 0.01f;
    p.velocity[0] = vx;
    p.velocity[2] = vz;
    FlameQuads quads;
    buildFlameQuads(*flame, quads, &placed);
    EXPECT_EQ(quads.count, 6u);
    // Upper right to upper left, and upper right to lower right.
    const FlameVertex &a = quads.vertices[0], &b = quads.vertices[1], &c = quads.vertices[2];
    return std::hypot(a.x - b.x, a.y - b.y) / std::hypot(a.x - c.x, a.y - c.y);
  };
  EXPECT_NEAR(streakOf(200.0f, 0.0f), 1.0f, 0.05f);
  EXPECT_GT(streakOf(0.0f, 200.0f), 3.0f);
}

// ---- the buffer ------------------------------------------------------------

// gluPerspective's matrix for the program's view in a window of this size,
// column-major.
void perspective(int width, int height, float m[16]) {
  const double halfAngle = view::kFieldOfViewDegrees / 2.0 * std::acos(-1.0) / 180.0;
  const double f = 1.0 / std::tan(halfAngle);
  const double n = view::kNearPlane, far = view::kFarPlane;
  for (int i = 0; i < 16; ++i) m[i] = 0.0f;
  m[0] = static_cast<float>(f / view::aspectRatio(width, height));
  m[5] = static_cast<float>(f);
  m[10] = static_cast<float>((far + n) / (n - far));
  m[11] = -1.0f;
  m[14] = static_cast<float>(2.0 * far * n / (n - far));
}
constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(FlameBuffer, TheParticlesBoxLandsWhereTheViewPutsItOnScreen) {
  float projection[16];
  perspective(800, 600, projection);
  const float low[3] = {-0.5f, 0.0f, -10.5f}, high[3] = {0.5f, 3.0f, -9.5f};
  const PixelBox box = windowBoxOf(projection, kIdentity, low, high, 800, 600);
  // The nearer face is the larger on screen.
  const view::Pixel lowLeft = view::eyeToWindow({-0.5, 0.0, -9.5});
  const view::Pixel highRight = view::eyeToWindow({0.5, 3.0, -9.5});
  EXPECT_EQ(box.x0, static_cast<int>(std::floor(lowLeft.x)));
  EXPECT_EQ(box.y0, 300);
  EXPECT_EQ(box.x1, static_cast<int>(std::ceil(highRight.x)));
  EXPECT_EQ(box.y1, static_cast<int>(std::ceil(highRight.y)));
  // Moved by the modelview: two units up.
  float up[16];
  std::copy(kIdentity, kIdentity + 16, up);
  up[13] = 2.0f;
  EXPECT_GT(windowBoxOf(projection, up, low, high, 800, 600).y0, box.y0 + 100);
}

TEST(FlameBuffer, ABoxBehindTheEyeTakesTheWholeWindowAndOneOffScreenNone) {
  float projection[16];
  perspective(800, 600, projection);
  const float low[3] = {-1.0f, -1.0f, -2.0f}, high[3] = {1.0f, 1.0f, 1.0f};
  const PixelBox all = windowBoxOf(projection, kIdentity, low, high, 800, 600);
  EXPECT_EQ(all.x0, 0);
  EXPECT_EQ(all.y0, 0);
  EXPECT_EQ(all.x1, 800);
  EXPECT_EQ(all.y1, 600);
  const float farLow[3] = {100.0f, 0.0f, -11.0f}, farHigh[3] = {101.0f, 1.0f, -10.0f};
  EXPECT_TRUE(windowBoxOf(projection, kIdentity, farLow, farHigh, 800, 600).empty());
  EXPECT_TRUE(windowBoxOf(projection, kIdentity, low, high, 800, 0).empty());  // squashed
}

// The projection's depth of an eye point straight ahead.
float depthAhead(const float projection[16], float z) {
  return (projection[10] * z + projection[14]) / (projection[11] * z + projection[15]);
}

TEST(FlameBuffer, IsAddedAtTheDepthOfTheParticlesNearestPoint) {
  float projection[16];
  perspective(800, 600, projection);
  const float low[3] = {-0.5f, 0.0f, -10.5f}, high[3] = {0.5f, 3.0f, -9.5f};
  const float nearest = nearestDepthOf(projection, kIdentity, low, high);
  EXPECT_FLOAT_EQ(nearest, depthAhead(projection, -9.5f));
  // Behind the lighter (3 units off) and in front of the far plane.
  EXPECT_GT(nearest, depthAhead(projection, -3.0f));
  EXPECT_LT(nearest, 1.0f);
  // Through the modelview: the box moved 5 units nearer.
  float nearer[16];
  std::copy(kIdentity, kIdentity + 16, nearer);
  nearer[14] = 5.0f;
  EXPECT_FLOAT_EQ(nearestDepthOf(projection, nearer, low, high), depthAhead(projection, -4.5f));
  // Reaching behind the eye: at the near plane, hidden by nothing.
  const float behind[3] = {0.5f, 3.0f, 1.0f};
  EXPECT_EQ(nearestDepthOf(projection, kIdentity, low, behind), -1.0f);
}

TEST(FlameBuffer, IsAThirdOfTheWindowInAPowerOfTwoTextureAndNothingWithoutPixels) {
  const FlameBufferSize size = flameBufferSize(800, 600);
  EXPECT_EQ(size.width, 267);
  EXPECT_EQ(size.height, 200);
  EXPECT_EQ(size.textureWidth, 512);
  EXPECT_EQ(size.textureHeight, 256);
  const FlameBufferSize tiny = flameBufferSize(1, 2);
  EXPECT_EQ(tiny.width, 1);
  EXPECT_EQ(tiny.height, 1);
  EXPECT_EQ(tiny.textureWidth, 1);
  EXPECT_TRUE(flameBufferSize(800, 0).empty());
  EXPECT_TRUE(flameBufferSize(0, 600).empty());
  EXPECT_TRUE(flameBufferSize(-5, 600).empty());
  EXPECT_EQ(flameBufferSize(1280, 1000).textureWidth, 512);
  EXPECT_EQ(flameBufferSize(1600, 1000).textureWidth, 1024);
}

TEST(FlameBuffer, ItsBoxCoversTheWindowBoxInWholePixelsWithinTheBuffer) {
  const FlameBufferSize size = flameBufferSize(800, 600);
  const PixelBox box = bufferBoxOf({301, 300, 500, 599}, 800, 600, size);
  EXPECT_EQ(box.x0, 100);  // 301 * 267 / 800 = 100.45
  EXPECT_EQ(box.y0, 100);
  EXPECT_EQ(box.x1, 167);  // 166.9, up
  EXPECT_EQ(box.y1, 200);
  EXPECT_TRUE(bufferBoxOf({0, 0, 0, 0}, 800, 600, size).empty());
  const PixelBox grown = grownWithin(box, 1, {0, 0, 267, 200});
  EXPECT_EQ(grown.x0, 99);
  EXPECT_EQ(grown.x1, 168);
  EXPECT_EQ(grown.y1, 200);  // held at the edge
  EXPECT_TRUE(grownWithin({10, 10, 20, 20}, 1, {30, 30, 40, 40}).empty());
}

TEST(FlameBuffer, FramebufferObjectsFromGl3EsTwoOrTheArbExtension) {
  EXPECT_TRUE(hasFramebufferObjects("4.5 (Compatibility Profile) Mesa 22.3.6", ""));
  EXPECT_TRUE(hasFramebufferObjects("3.0 Mesa 22.3.6", nullptr));
  EXPECT_TRUE(hasFramebufferObjects("OpenGL ES 2.0 (WebGL 1.0 (OpenGL ES 2.0 Chromium))", ""));
  EXPECT_FALSE(hasFramebufferObjects("OpenGL ES-CM 1.1 Mesa", ""));
  EXPECT_FALSE(
      hasFramebufferObjects("2.1 Mesa 22.3.6", "GL_ARB_multitexture GL_EXT_framebuffer_object"));
  EXPECT_TRUE(hasFramebufferObjects("2.1 Mesa", "GL_ARB_multitexture GL_ARB_framebuffer_object"));
  EXPECT_TRUE(hasFramebufferObjects("2.1 Mesa", "GL_ARB_framebuffer_object"));
  EXPECT_FALSE(hasFramebufferObjects("2.1 Mesa", "GL_ARB_framebuffer_object_sRGB"));
  EXPECT_FALSE(hasFramebufferObjects("2.1 Mesa", "XGL_ARB_framebuffer_object"));
  EXPECT_FALSE(hasFramebufferObjects(nullptr, "GL_ARB_framebuffer_object"));
}

}  // namespace
