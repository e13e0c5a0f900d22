// Lit with an imported model's look, on a real context: the model's texture
// under a name of its own, the state every other drawing expects put back
// after the meshes, and a bad sidecar leaving the silver look with a reason
// on standard error. One data directory per process (start-up runs once).
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "lighter/callbacks.h"
#include "render/placement.h"
#include "tests/gl/gl_fixture.h"
#include "tests/support/look_data.h"
#include "tests/support/temp_dir.h"

namespace {

// Starts the program in a directory `fill` writes, with standard error
// kept; false when start-up already ran elsewhere in this process.
bool startIn(const char* name, const std::function<void(const std::string&)>& fill,
             std::string* errors = nullptr) {
  static support::TempDir temp("lighter-lit-look-gl");
  const std::string dir = temp.path() + "/" + name;
  if (access(dir.c_str(), F_OK) != 0) fill(dir);
  std::ostringstream err;
  std::streambuf* const previous = std::cerr.rdbuf(err.rdbuf());
  gltest::startLighter(dir);
  std::cerr.rdbuf(previous);
  if (errors != nullptr) *errors = err.str();
  char cwd[PATH_MAX] = {};
  return getcwd(cwd, sizeof cwd) != nullptr && dir == cwd;
}

#define START_OR_SKIP(...)                                  \
  if (!startIn(__VA_ARGS__))                                \
  GTEST_SKIP() << "start-up ran in another directory; run " \
                  "each Lit look test in a process of its own"

GLint integer(GLenum which) {
  GLint value = 0;
  glGetIntegerv(which, &value);
  return value;
}

std::vector<unsigned char> frontBuffer() {
  std::vector<unsigned char> rgb(size_t{view::kWindowWidth} * view::kWindowHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_FRONT);
  glReadPixels(0, 0, view::kWindowWidth, view::kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return rgb;
}

// A Smooth frame, Lit frames with the flame burning and put out again, then
// Smooth once more: what Lit leaves behind shows as a different picture.
struct AfterLit {
  std::vector<unsigned char> smoothBefore, smoothAfter;
};
AfterLit smoothAroundLit(Scene& s) {
  AfterLit out;
  gltest::drawFrame();
  gltest::drawFrame();
  out.smoothBefore = frontBuffer();
  processSubModeMenu(3);
  s.flame.flameOn = 1;
  for (int i = 0; i < 3; ++i) gltest::drawFrame();
  s.flame.flameOn = 0;
  gltest::drawFrame();
  processSubModeMenu(1);
  gltest::drawFrame();
  out.smoothAfter = frontBuffer();
  return out;
}

void expectStateOfTheOtherModes() {
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(kSilverTextureName));
  GLint environment = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  EXPECT_EQ(environment, GL_MODULATE);  // GL's default, which Lit's texturing relies on
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LitLook, TheModelsTextureHasANameOfItsOwnAndNothingLeaks) {
  std::string errors;
  START_OR_SKIP(
      "quad", [](const std::string& d) { lookdata::writeTexturedQuad(d); }, &errors);
  Scene& s = gltest::startLighter();
  EXPECT_EQ(errors, "");
  EXPECT_EQ(s.lit.modelTexture, 0u);  // nothing uploaded at start-up
  ASSERT_EQ(surfaceOf(s.lit.body, true), LitSurface::kTextured);
  const AfterLit frames = smoothAroundLit(s);
  const GLuint name = s.lit.modelTexture;
  ASSERT_NE(name, 0u);
  for (GLuint other : {0u, 1u, 2u, 3u, s.lit.particleTexture}) EXPECT_NE(name, other);
  expectStateOfTheOtherModes();
  // The texels are the file's: red top left, as the bottom row's far end
  // (row 0 is the picture's bottom) is yellow.
  glBindTexture(GL_TEXTURE_2D, name);
  unsigned char texels[4 * 4 * 3] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
  EXPECT_EQ(texels[3 * 3 + 1], lookdata::kBottomRight.g);
  EXPECT_EQ(texels[(3 * 4) * 3], lookdata::kTopLeft.r);
  EXPECT_EQ(texels[(3 * 4) * 3 + 2], lookdata::kTopLeft.b);
  EXPECT_TRUE(s.lit.modelImage.data.empty());  // uploaded, then let go
  EXPECT_TRUE(frames.smoothAfter == frames.smoothBefore);
}

TEST(LitLook, ColoursLeaveNothingBehindForTheOtherModes) {
  std::string errors;
  START_OR_SKIP(
      "boxes", [](const std::string& d) { lookdata::writeTwoColourBoxes(d); }, &errors);
  Scene& s = gltest::startLighter();
  EXPECT_EQ(errors, "");
  ASSERT_EQ(surfaceOf(s.lit.body, false), LitSurface::kColoured);
  const AfterLit frames = smoothAroundLit(s);
  EXPECT_EQ(s.lit.modelTexture, 0u);
  expectStateOfTheOtherModes();
  EXPECT_TRUE(frames.smoothAfter == frames.smoothBefore);
}

TEST(LitLook, ADamagedSidecarLeavesTheSilverLookAndSaysWhy) {
  std::string errors;
  START_OR_SKIP(
      "damaged",
      [](const std::string& d) {
        lookdata::writeTexturedQuad(d);
        lookdata::writeBytes(d, "lighterBase.look", "LGHTLOOK\1\0\0\0");
      },
      &errors);
  Scene& s = gltest::startLighter();
  EXPECT_EQ(errors,
            "lighter: lighterBase.look: not a look file, so the body is drawn silver in Lit\n");
  EXPECT_EQ(surfaceOf(s.lit.body, true), LitSurface::kSilver);
  processSubModeMenu(3);
  gltest::drawFrame();
  gltest::drawFrame();
  EXPECT_EQ(s.lit.modelTexture, 0u);  // no mesh to lay it on: never read
  expectStateOfTheOtherModes();
}

}  // namespace
