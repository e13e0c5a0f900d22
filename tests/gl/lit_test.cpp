// The "Lit" mode on a real context: what its frame leaves behind for the
// other modes, and the particle image's texture name of its own.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "lighter/callbacks.h"
#include "render/lit_drawing.h"
#include "render/placement.h"
#include "tests/gl/gl_fixture.h"

namespace {

std::vector<unsigned char> texelsOf(GLuint name) {
  GLint previous = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
  glBindTexture(GL_TEXTURE_2D, name);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
  return rgb;
}

GLint integer(GLenum which) {
  GLint value = 0;
  glGetIntegerv(which, &value);
  return value;
}

// A few Lit frames with the flame burning, then the scene as it was.
void litFramesWithTheFlame(Scene& s) {
  gltest::drawFrame();  // the window is up
  processSubModeMenu(3);
  s.flame.flameOn = 1;
  for (int i = 0; i < 3; ++i) gltest::drawFrame();
}

TEST(LitFrame, LeavesTheRenderStateOfTheOtherModes) {
  Scene& s = gltest::startLighter();
  litFramesWithTheFlame(s);
  EXPECT_EQ(s.view.display_mode, kLit);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
  EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
  EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(kSilverTextureName));
  EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Start-up's generated name 1 is refilled by topTexture.bmp; Lit uploads the
// particle image again under a name nothing else loads into.
TEST(LitFrame, DrawsTheFlameWithTheParticleImageUnderANameOfItsOwn) {
  Scene& s = gltest::startLighter();
  EXPECT_EQ(s.lit.particleTexture, 0u);  // nothing uploaded before Lit is chosen
  EXPECT_TRUE(s.lit.built);              // the arrays are, by start-up
  EXPECT_EQ(s.lit.body.indices.size(), 3 * s.meshes.lighterBaseTriangles.size());
  litFramesWithTheFlame(s);
  const GLuint name = s.lit.particleTexture;
  ASSERT_NE(name, 0u);
  for (GLuint fixed : {0u, 1u, 2u, 3u}) EXPECT_NE(name, fixed);
  EXPECT_EQ(texelsOf(name), s.textures.particleImage);
  EXPECT_NE(texelsOf(s.textures.texture), s.textures.particleImage);  // topTexture.bmp now
  glBindTexture(GL_TEXTURE_2D, name);
  EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(name));
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);
  glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
  // More frames upload nothing again.
  gltest::drawFrame();
  EXPECT_EQ(s.lit.particleTexture, name);
}

// The flame's light never draws a random number: a Lit frame takes as many
// from rand as the same frame of the other modes (the particles' share), and
// moves the particles alike.
TEST(LitFrame, MovesTheParticlesAsSmoothDoesAndDrawsNoRandomNumberOfItsOwn) {
  Scene& s = gltest::startLighter();
  gltest::drawFrame();
  s.flame.flameOn = 1;
  // Far enough on that particles are dying and being born each frame.
  for (int i = 0; i < 60; ++i) particlePass(s.flame, std::rand, nullptr);
  auto start = std::make_unique<FlameState>(s.flame);
  auto randAfterOneFrame = [&](int mode) {
    s.flame = *start;
    s.view.display_mode = mode;
    std::srand(11);
    display();
    return std::rand();
  };
  const int smooth = randAfterOneFrame(kSmooth);
  auto afterSmooth = std::make_unique<FlameState>(s.flame);
  EXPECT_EQ(randAfterOneFrame(kLit), smooth);
  EXPECT_EQ(std::memcmp(s.flame.particle.data(), afterSmooth->particle.data(),
                        sizeof(Particle) * kParticleCount),
            0);
  std::srand(11);
  EXPECT_NE(std::rand(), smooth);  // the frames did draw the particles' numbers
  s.flame.flameOn = 0;
}

}  // namespace
