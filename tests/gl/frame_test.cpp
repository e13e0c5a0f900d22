// The frame loop and the render state on a real GL context.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "lighter/callbacks.h"
#include "tests/gl/gl_fixture.h"

namespace {

std::array<double, 16> matrix(GLenum which) {
  std::array<double, 16> m{};
  glGetDoublev(which, m.data());
  return m;
}

std::array<int, 4> viewport() {
  std::array<int, 4> v{};
  glGetIntegerv(GL_VIEWPORT, v.data());
  return v;
}

bool isIdentity(const std::array<double, 16>& m) {
  for (int i = 0; i < 16; ++i) {
    if (std::fabs(m[i] - (i % 5 == 0 ? 1.0 : 0.0)) > 1e-9) return false;
  }
  return true;
}

// Width over height as a perspective projection matrix encodes it.
double projectedAspect() {
  auto p = matrix(GL_PROJECTION_MATRIX);
  return p[5] / p[0];
}

TEST(RenderState, IsInForceWhenTheLoopStarts) {
  Scene& s = gltest::startLighter();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_SRC_ALPHA);
  EXPECT_EQ(dst, GL_ONE);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  GLint shade = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shade);
  EXPECT_EQ(shade, GL_FLAT);
  GLfloat clear[4] = {1, 1, 1, 1};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(std::vector<float>(clear, clear + 4), std::vector<float>({0, 0, 0, 0}));
  GLfloat depth = 0;
  glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
  EXPECT_EQ(depth, 1.0f);
  GLint hint = 0;
  glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
  EXPECT_EQ(hint, GL_NICEST);

  const struct {
    GLenum name;
    const float* expected;
  } lights[] = {{GL_AMBIENT, s.light_amb}, {GL_DIFFUSE, s.light_diff}, {GL_SPECULAR, s.light_spec}};
  const float want[3][4] = {
      {0.6f, 0.6f, 0.6f, 1.0f}, {0.6f, 0.6f, 0.6f, 1.0f}, {0.8f, 0.8f, 0.8f, 1.0f}};
  for (int i = 0; i < 3; ++i) {
    GLfloat got[4] = {};
    glGetLightfv(GL_LIGHT0, lights[i].name, got);
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(got[c], want[i][c]) << "light term " << i;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Frame, BuildsProjectionAndViewportFromTheWindowSize) {
  gltest::startLighter();
  gltest::drawFrame();
  EXPECT_NEAR(projectedAspect(), 800.0 / 600.0, 1e-6);
  EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, 800, 600}));

  reshape(600, 800);
  gltest::drawFrame();
  EXPECT_NEAR(projectedAspect(), 0.75, 1e-6);
  EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, 600, 800}));
  reshape(800, 600);
}

TEST(Frame, SurvivesAWindowSquashedToNoHeight) {
  gltest::startLighter();
  reshape(800, 0);
  gltest::drawFrame();
  for (double v : matrix(GL_PROJECTION_MATRIX)) EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(viewport(), (std::array<int, 4>{0, 0, 800, 0}));
  reshape(800, 600);
  gltest::drawFrame();
  EXPECT_NEAR(projectedAspect(), 800.0 / 600.0, 1e-6);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Frame, LeavesTheModelviewIdentityAndTheStacksBalanced) {
  gltest::startLighter();
  for (int frame = 0; frame < 3; ++frame) {
    gltest::drawFrame();
    EXPECT_TRUE(isIdentity(matrix(GL_MODELVIEW_MATRIX)));
    GLint depth = 0, mode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(mode, GL_MODELVIEW);
  }
}

TEST(Frame, ClearsTheBackgroundToBlack) {
  gltest::startLighter();
  // Both buffers white first, under the program's own clear colour kept
  // aside: the corners turn black only if the frame clears them. The frame
  // is read from the back buffer: here the front one always reads black,
  // and a swap copies the back buffer out and leaves it as it was.
  GLfloat clearColour[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  for (int buffer = 0; buffer < 2; ++buffer) {
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
  }
  glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
  gltest::drawFrame();
  glReadBuffer(GL_BACK);
  // Corners of the window are background whatever the lighter looks like.
  const int corners[4][2] = {{0, 0}, {790, 0}, {0, 590}, {790, 590}};
  for (const auto& c : corners) {
    std::vector<unsigned char> rgba(10 * 10 * 4, 255);
    glReadPixels(c[0], c[1], 10, 10, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4) {
      ASSERT_EQ(rgba[i] + rgba[i + 1] + rgba[i + 2], 0) << "corner at " << c[0] << "," << c[1];
    }
  }
}

}  // namespace
