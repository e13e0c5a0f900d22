// The GLUT callbacks over the scene that start-up handed to them: timers,
// and their delays in GLUT's own loop; menus, and the shade model they leave;
// the mouse's button codes, and the texture loader's fatal failure.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "lighter/callbacks.h"
#include "lighter/interaction.h"
#include "tests/gl/gl_fixture.h"
#include "tests/support/command.h"
#include "tests/unit/bmp_builder.h"
#include "textures/textures.h"

namespace {

// A death test here runs in a fresh copy of the test binary, so that the
// dying process does not share this one's X connection and Xvfb.
void dieAlone() { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

TEST(Timers, StopSparkEndsTheBurstAndStopFlameTheShortFlame) {
  Scene& scene = gltest::startLighter();
  scene.flame.playSpark = 1;
  scene.flame.flameOn = 1;
  stopSpark(1);
  EXPECT_EQ(scene.flame.playSpark, 0);
  EXPECT_EQ(scene.flame.flameOn, 1);
  stopFlame(1);
  EXPECT_EQ(scene.flame.flameOn, 0);
}

// What a timer of the test's own saw of the spark when it fired.
struct Probe {
  bool fired = false;
  int playSpark = -1;
  int flameOn = -1;
};
enum ProbeName { kBeforeClick40, kAfterClick40, kAfterClick400 };
Probe probes[3];
const FlameState* probedFlame = nullptr;

void probe(int name) { probes[name] = {true, probedFlame->playSpark, probedFlame->flameOn}; }

// GLUT fires due timers in the order of their due times, however late its
// loop comes round to them; so the test's own timers, registered just before
// and just after a click, bound the spark's timers on GLUT's own clock, and a
// loaded machine only delays the verdict.
TEST(SparkTimers, TheBurstEndsWithin40MsAndItsShortFlameGoesOutAfter40AndWithin400Ms) {
  Scene& scene = gltest::startLighter();
  // The flame as start-up left it, for the tests after this one.
  const auto startFlame = std::make_unique<FlameState>(scene.flame);
  probedFlame = &scene.flame;
  scene.act = 0;
  for (int spark = 1; spark <= 2; ++spark) {
    SCOPED_TRACE("spark " + std::to_string(spark));
    std::fill(std::begin(probes), std::end(probes), Probe{});
    glutTimerFunc(40, probe, kBeforeClick40);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 390, 450);  // on the body
    glutTimerFunc(40, probe, kAfterClick40);
    glutTimerFunc(400, probe, kAfterClick400);
    ASSERT_EQ(scene.flame.playSpark, 1);
    ASSERT_EQ(scene.flame.flameOn, 1);
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
  scene.act = 0;
  scene.flame = *startFlame;
}

TEST(MainMenu, ExitEndsTheProgramWithStatusZero) {
  dieAlone();
  EXPECT_EXIT(processMainMenu(kExitValue), ::testing::ExitedWithCode(0), "");
}

TEST(MainMenu, OtherValuesDoNothing) {
  dieAlone();
  EXPECT_EXIT(
      {
        processMainMenu(0);
        processMainMenu(2);
        std::exit(7);
      },
      ::testing::ExitedWithCode(7), "");
}

TEST(MenuHandlers, ReachTheProgramsScene) {
  Scene& scene = gltest::startLighter();
  scene.flame.col = 1;
  scene.flame.rainbow = false;
  processSubFlameMenu(5);
  EXPECT_TRUE(scene.flame.rainbow);
  processSubFlameMenu(4);
  EXPECT_EQ(scene.flame.col, 7);
  EXPECT_FALSE(scene.flame.rainbow);
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

// GLUT's button codes become plain values before the click logic sees them:
// only a press of the left button is a click.
TEST(MouseCallback, CountsOnlyALeftPressAsAClick) {
  Scene& scene = gltest::startLighter();
  const std::string before = gltest::commentary();
  const int x = 390, y = 450;  // on the body
  mouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, x, y);
  mouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, x, y);
  mouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
  EXPECT_EQ(scene.act, 0);
  EXPECT_EQ(gltest::commentary(), before);
  mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
  EXPECT_EQ(scene.act, 1);
  EXPECT_EQ(gltest::commentary(), before + "mouse clicked at 390 " +
                                      std::to_string(scene.view.GH - 1 - y) + "\nspark!!\n");
}

// A file that lives in memory and goes with the process: the death test's
// fresh process runs this test's body again and makes a file of its own,
// and a process that ends through exit() would leave a directory behind.
class MemoryFile {
 public:
  explicit MemoryFile(const bmptest::Bytes& bytes) : fd_(memfd_create("texture", 0)) {
    if (fd_ < 0 || write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("cannot make a file in memory");
    }
  }
  ~MemoryFile() { close(fd_); }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// The message goes to standard error here, where the death test reads it.
TEST(LoadTextureDeath, EndsWithStatusOneAfterTheReadersMessage) {
  dieAlone();
  const MemoryFile eightBit(bmptest::header(4, 4, 1, 8));
  TextureState textures;
  const std::string file = "/proc/self/fd/[0-9]+";
  EXPECT_EXIT(LoadTexture(textures, eightBit.path().c_str(), 1, std::cerr, std::cerr),
              ::testing::ExitedWithCode(1),
              "^trying to load " + file + "\nBpp from " + file + " is not 24: 8\n$");
}

}  // namespace
