// The GLUT callbacks after the real start-up, in GLUT's own loop: the timers
// a spark starts and what the mesh-mode menu does to the shading.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>

#include "lighter/callbacks.h"
#include "lighter/interaction.h"
#include "tests/gl/gl_fixture.h"
#include "tests/support/command.h"

namespace {

// What a timer of the test's own saw of the spark when it fired.
struct Probe {
  bool fired = false;
  int playSpark = -1;
  int flameOn = -1;
};
enum ProbeName { kBeforeClick40, kAfterClick40, kAfterClick400 };
Probe probes[3];

void probe(int name) { probes[name] = {true, scene.playSpark, scene.flameOn}; }

// GLUT fires due timers in the order of their due times, however late its
// loop comes round to them; so the test's own timers, registered just before
// and just after a click, bound the spark's timers on GLUT's own clock, and a
// loaded machine only delays the verdict.
TEST(SparkTimers, TheBurstEndsWithin40MsAndItsShortFlameGoesOutAfter40AndWithin400Ms) {
  Scene& s = gltest::startLighter();
  // The flame as start-up left it, for the tests after this one.
  const auto flame = std::make_unique<FlameState>(static_cast<FlameState&>(s));
  s.act = 0;
  for (int spark = 1; spark <= 2; ++spark) {
    SCOPED_TRACE("spark " + std::to_string(spark));
    std::fill(std::begin(probes), std::end(probes), Probe{});
    glutTimerFunc(40, probe, kBeforeClick40);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 390, 449);  // on the lighter's body
    glutTimerFunc(40, probe, kAfterClick40);
    glutTimerFunc(400, probe, kAfterClick400);
    ASSERT_EQ(s.playSpark, 1);
    ASSERT_EQ(s.flameOn, 1);
    ASSERT_TRUE(support::waitUntil(
        [] {
          glutMainLoopEvent();
          return probes[kAfterClick400].fired;
        },
        support::Seconds(60), std::chrono::milliseconds(0)));
    EXPECT_EQ(probes[kBeforeClick40].flameOn, 1) << "the short flame was out within 40 ms";
    EXPECT_EQ(probes[kAfterClick40].playSpark, 0) << "the burst went on for 40 ms";
    EXPECT_EQ(probes[kAfterClick400].flameOn, 0) << "the short flame burnt for 400 ms";
  }
  s.act = 0;
  static_cast<FlameState&>(s) = *flame;
}

GLint shadeModel() {
  GLint model = 0;
  glGetIntegerv(GL_SHADE_MODEL, &model);
  return model;
}

// The shade model after picking a "Mesh Modes" entry and drawing a frame.
GLint shadeModelAfterPicking(int entry) {
  processSubModeMenu(entry);
  gltest::drawFrame();
  return shadeModel();
}

TEST(MeshModeMenu, SmoothMakesTheShadingSmoothAndWireframeLeavesItAsItWas) {
  gltest::startLighter();
  ASSERT_EQ(shadeModel(), GL_FLAT);  // as start-up leaves it
  const int kWireframeEntry = kModeMenu[0].value, kSmoothEntry = kModeMenu[1].value;
  EXPECT_EQ(shadeModelAfterPicking(kWireframeEntry), GL_FLAT);
  EXPECT_EQ(shadeModelAfterPicking(kSmoothEntry), GL_SMOOTH);
  EXPECT_EQ(shadeModelAfterPicking(kWireframeEntry), GL_SMOOTH);
  processSubModeMenu(kSmoothEntry);
  glShadeModel(GL_FLAT);
}

}  // namespace
