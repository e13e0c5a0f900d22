// The turntable camera on a real context: GLU's matrix is the view module's,
// the start view's is gluLookAt's with the constants, a moved camera leaves
// the particles' arithmetic alone, and the callbacks move it.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "lighter/callbacks.h"
#include "render/render.h"
#include "tests/gl/gl_fixture.h"
#include "view/camera.h"

namespace {

std::array<double, 16> modelview() {
  std::array<double, 16> m{};
  glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
  return m;
}

view::Vec3 applied(const std::array<double, 16>& m, view::Vec3 p) {
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
          m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// The modelview matrix applyView leaves for `view`, from the identity.
std::array<double, 16> cameraMatrix(const ViewState& view) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  applyView(view);
  const auto m = modelview();
  glPopMatrix();
  return m;
}

// Puts the scene's camera and drag back as the other tests expect them.
struct StartViewAfterwards {
  Scene& scene;
  ~StartViewAfterwards() {
    scene.view.orbit = {};
    scene.drag = {};
  }
};

TEST(CameraMatrix, TheStartViewIsGluLookAtWithTheConstantsBitForBit) {
  Scene& s = gltest::startLighter();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0, 0, 3, 0, 0, 0, 0, 1, 0);
  const auto want = modelview();
  glPopMatrix();
  EXPECT_EQ(cameraMatrix(s.view), want);
}

TEST(CameraMatrix, AMovedCameraIsTheViewModulesRig) {
  Scene& s = gltest::startLighter();
  const StartViewAfterwards reset{s};
  for (const view::Orbit& o :
       {view::Orbit{90, 0, 1}, view::Orbit{-135, 40, 0.6}, view::Orbit{10, -60, 3}}) {
    s.view.orbit = o;
    const auto m = cameraMatrix(s.view);
    const view::Rig rig = rigOf(s.view);
    for (const view::Vec3& p : {view::Vec3{0, 0, 0}, s.view.stage.pivot, view::Vec3{0.5, -1, 2}}) {
      const view::Vec3 got = applied(m, p), want = view::worldToEye(rig, p);
      // GL keeps its matrices in floats.
      EXPECT_NEAR(got.x, want.x, 1e-6);
      EXPECT_NEAR(got.y, want.y, 1e-6);
      EXPECT_NEAR(got.z, want.z, 1e-6);
    }
  }
}

bool sameParticles(const FlameState& a, const FlameState& b) {
  return std::memcmp(a.particle.data(), b.particle.data(), sizeof(Particle) * kParticleCount) == 0;
}

// The frames the particles are drawn in, in every mode: from one state and
// one seed, a frame at the start view and one from behind move every
// particle alike and draw the same random numbers.
TEST(CameraFrames, AMovedCameraMovesTheParticlesAsTheStartViewDoes) {
  Scene& s = gltest::startLighter();
  const StartViewAfterwards reset{s};
  gltest::drawFrame();
  const int mode = s.view.display_mode;
  s.flame.flameOn = 1;
  const auto start = std::make_unique<FlameState>(s.flame);
  for (int drawMode : {kSmooth, kWireframe, kLit}) {
    s.view.display_mode = drawMode;
    const auto runFrom = [&](const view::Orbit& orbit) {
      s.flame = *start;
      s.view.orbit = orbit;
      std::srand(11);
      for (int i = 0; i < 3; ++i) display();
      auto after = std::make_unique<FlameState>(s.flame);
      return std::make_pair(std::move(after), std::rand());
    };
    const auto [atStart, nextAtStart] = runFrom({});
    const auto [behind, nextBehind] = runFrom({180, 20, 0.8});
    EXPECT_TRUE(sameParticles(*atStart, *behind)) << drawMode;
    EXPECT_EQ(nextAtStart, nextBehind) << drawMode;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  s.flame = *start;
  s.flame.flameOn = 0;
  s.view.display_mode = mode;
}

TEST(CameraCallbacks, TheWheelDragsAndKeysMoveTheCameraAndPrintNothing) {
  Scene& s = gltest::startLighter();
  const StartViewAfterwards reset{s};
  const std::string before = gltest::commentary();
  mouse(3, GLUT_DOWN, 100, 100);  // wheel up: nearer
  mouse(3, GLUT_UP, 100, 100);
  EXPECT_EQ(s.view.orbit.distance, view::kZoomStep);
  mouse(4, GLUT_DOWN, 100, 100);  // wheel down: back
  EXPECT_TRUE(view::isStartView(s.view.orbit));
  mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 390, 450);  // on the body: still a turn
  motion(400, 460);
  mouse(GLUT_MIDDLE_BUTTON, GLUT_UP, 400, 460);
  motion(500, 460);  // the button is up: no turn
  EXPECT_EQ(s.view.orbit.azimuth, -10 * view::kDragDegreesPerPixel);
  EXPECT_EQ(s.view.orbit.elevation, 10 * view::kDragDegreesPerPixel);
  keyboard('R', 0, 0);
  EXPECT_TRUE(view::isStartView(s.view.orbit));
  special(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(s.view.orbit.azimuth, view::kTurnStepDegrees);
  special(112, 0, 0);  // freeglut's left Shift
  special(GLUT_KEY_F12, 0, 0);
  EXPECT_EQ(s.view.orbit.azimuth, view::kTurnStepDegrees);
  special(GLUT_KEY_HOME, 0, 0);
  EXPECT_TRUE(view::isStartView(s.view.orbit));
  EXPECT_EQ(gltest::commentary(), before);
  gltest::drawFrame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
