// Lit's flame on a real context: its light read back from GL, the flame
// buffer through a framebuffer object and through copies, the lighter's
// depth hiding what lies behind it, and windows resized and squashed.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "lighter/callbacks.h"
#include "render/flame_look.h"
#include "render/lit_drawing.h"
#include "render/placement.h"
#include "tests/gl/gl_fixture.h"

namespace {

GLint integer(GLenum which) {
  GLint value = 0;
  glGetIntegerv(which, &value);
  return value;
}

// The last frame's pixels, red-green-blue, bottom row first; a swap copies
// the back buffer out and leaves it as it was.
std::vector<unsigned char> framePixels(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return rgb;
}

// The pixels above the chimney's top that are lit (the flame's column;
// nothing of the lighter is there).
int litAboveTheChimney(const std::vector<unsigned char>& rgb, int width) {
  int lit = 0;
  for (int y = 310; y < 600; ++y) {
    for (int x = 300; x < 500; ++x) {
      const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      lit += p[0] + p[1] + p[2] > 60;
    }
  }
  return lit;
}

int largestDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int most = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

// A steady flame, far enough on that particles die and are born each frame.
std::unique_ptr<FlameState> steadyFlame(Scene& s) {
  s.flame.flameOn = 1;
  s.flame.playSpark = 0;
  s.flame.zoom = -10.0f;
  std::srand(5);
  for (int i = 0; i < 400; ++i) particlePass(s.flame, std::rand, nullptr);
  return std::make_unique<FlameState>(s.flame);
}

// One Lit frame from `start`, its pixels. (GLUT's own events first: the
// frame each one posts would move the particles on.)
std::vector<unsigned char> litFrameFrom(Scene& s, const FlameState& start) {
  glutMainLoopEvent();
  s.flame = start;
  s.view.display_mode = kLit;
  display();
  glFinish();
  return framePixels(s.view.GW, s.view.GH);
}

// The scene's flame as start-up left it, for the tests after these.
std::unique_ptr<FlameState> startUpFlame;

Scene& startLighterAndKeepItsFlame() {
  Scene& s = gltest::startLighter();
  if (!startUpFlame) startUpFlame = std::make_unique<FlameState>(s.flame);
  gltest::drawFrame();  // the window is up
  return s;
}

void putOut(Scene& s) {
  s.flame = *startUpFlame;
  s.view.display_mode = kSmooth;
  useFlamePath(s.lit, FlameTarget::Path::kUnchosen);
}

TEST(LitFlame, TheLightTakesTheFlamesColourInEveryChannelAndFlickersWithIt) {
  Scene& s = startLighterAndKeepItsFlame();
  auto start = steadyFlame(s);
  for (int row : {7, 0, 3}) {  // "Blue", "Red", "Green": no two channels alike
    SCOPED_TRACE("colour row " + std::to_string(row));
    FlameState flame = *start;
    flame.col = row;
    for (Particle& p : flame.particle) std::copy(colors[row], colors[row] + 3, p.color);
    // The light is placed before the particles move.
    const FlameLight want = flameLight(flame);
    ASSERT_TRUE(want.on);
    litFrameFrom(s, flame);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    for (GLenum which : {GL_DIFFUSE, GL_SPECULAR}) {
      GLfloat got[4] = {0, 0, 0, 0};
      glGetLightfv(GL_LIGHT1, which, got);
      for (int c = 0; c < 3; ++c) {
        EXPECT_FLOAT_EQ(got[c], want.color[c])
            << (which == GL_DIFFUSE ? "diffuse" : "specular") << " channel " << c;
      }
    }
  }
  // Fewer newborns at the base burn dimmer: the light follows the flicker.
  FlameState thin = *start;
  for (Particle& p : thin.particle) p.position[1] += 1.0f;
  EXPECT_LT(flameLight(thin).color[0], flameLight(*start).color[0]);
  litFrameFrom(s, thin);
  GLfloat dim[4];
  glGetLightfv(GL_LIGHT1, GL_DIFFUSE, dim);
  EXPECT_FLOAT_EQ(dim[0], flameLight(thin).color[0]);
  FlameState out = *start;
  out.flameOn = 0;
  litFrameFrom(s, out);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
  putOut(s);
}

// The copy path draws into the back buffer's corner and puts it back: the
// whole frame comes out as the framebuffer's, and GL is left as the other
// modes expect it either way.
TEST(LitFlame, TheFramebufferAndTheCopyAddTheSameFlameAndLeaveNothingBehind) {
  Scene& s = startLighterAndKeepItsFlame();
  auto start = steadyFlame(s);
  useFlamePath(s.lit, FlameTarget::Path::kUnchosen);
  const auto throughFramebuffer = litFrameFrom(s, *start);
  EXPECT_EQ(s.lit.flameTarget.path, FlameTarget::Path::kFramebuffer);  // Mesa has them
  EXPECT_NE(s.lit.flameTarget.framebuffer, 0u);
  useFlamePath(s.lit, FlameTarget::Path::kCopy);
  const auto throughCopies = litFrameFrom(s, *start);
  EXPECT_EQ(s.lit.flameTarget.framebuffer, 0u);
  EXPECT_NE(s.lit.flameTarget.savedTexture, 0u);
  EXPECT_GT(litAboveTheChimney(throughFramebuffer, s.view.GW), 2000);
  EXPECT_LE(largestDifference(throughFramebuffer, throughCopies), 2);

  EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  GLboolean writes[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
  glGetBooleanv(GL_COLOR_WRITEMASK, writes);
  for (GLboolean w : writes) EXPECT_TRUE(w);
  GLint box[4];
  glGetIntegerv(GL_VIEWPORT, box);
  EXPECT_EQ(box[2], s.view.GW);
  EXPECT_EQ(box[3], s.view.GH);
  EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(kSilverTextureName));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  putOut(s);
}

// Sparks flying down into the chimney's outline lie behind it and show
// nowhere: the frame is the one without them, pixel for pixel. The same
// sparks flying up show.
TEST(LitFlame, TheLighterHidesWhatFliesBehindItThroughEitherPath) {
  Scene& s = startLighterAndKeepItsFlame();
  auto down = std::make_unique<FlameState>(s.flame);
  down->flameOn = 1;
  down->playSpark = 0;
  down->zoom = -10.0f;
  for (Particle& p : down->particle) {
    p = Particle{};
    p.alive = true;
    p.life = 0.5f;
    p.fadeRate = 0.01f;
    std::copy(colors[1], colors[1] + 3, p.color);
    // A short streak straight down, between the chimney's holes.
    p.velocity[1] = -40.0f;
    p.position[1] = -0.15f;
  }
  auto without = std::make_unique<FlameState>(*down);
  for (Particle& p : without->particle) p.alive = false;
  auto up = std::make_unique<FlameState>(*down);
  for (Particle& p : up->particle) p.position[1] = 0.15f;
  ASSERT_TRUE(lookOf(down->particle[0], *down).visible());
  for (auto path : {FlameTarget::Path::kFramebuffer, FlameTarget::Path::kCopy}) {
    SCOPED_TRACE(path == FlameTarget::Path::kCopy ? "copies" : "framebuffer");
    useFlamePath(s.lit, path);
    const auto hidden = litFrameFrom(s, *down);
    const auto none = litFrameFrom(s, *without);
    EXPECT_EQ(largestDifference(hidden, none), 0);
    EXPECT_GT(largestDifference(litFrameFrom(s, *up), none), 100);
  }
  putOut(s);
}

TEST(LitFlame, AResizedWindowGetsABufferOfItsSizeAndASquashedOneStillMovesTheFlame) {
  Scene& s = startLighterAndKeepItsFlame();
  auto start = steadyFlame(s);
  useFlamePath(s.lit, FlameTarget::Path::kUnchosen);
  litFrameFrom(s, *start);
  EXPECT_EQ(s.lit.flameTarget.textureWidth, 512);
  EXPECT_EQ(s.lit.flameTarget.textureHeight, 256);
  reshape(1600, 1000);  // the size the next frames are drawn for
  litFrameFrom(s, *start);
  EXPECT_EQ(s.lit.flameTarget.textureWidth, 1024);
  EXPECT_EQ(s.lit.flameTarget.textureHeight, 512);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  reshape(800, 0);
  for (auto path : {FlameTarget::Path::kFramebuffer, FlameTarget::Path::kCopy}) {
    useFlamePath(s.lit, path);
    litFrameFrom(s, *start);
    EXPECT_NE(std::memcmp(s.flame.particle.data(), start->particle.data(),
                          sizeof(Particle) * kParticleCount),
              0)
        << "the particles did not move";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  reshape(800, 600);
  useFlamePath(s.lit, FlameTarget::Path::kCopy);
  const auto back = litFrameFrom(s, *start);
  EXPECT_EQ(s.lit.flameTarget.textureWidth, 512);
  EXPECT_GT(litAboveTheChimney(back, 800), 2000);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  putOut(s);
}

}  // namespace
