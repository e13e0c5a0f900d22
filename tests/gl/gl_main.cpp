// Entry of the GL tests: every test gets a display of its own.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "lighter/callbacks.h"
#include "tests/gl/gl_fixture.h"
#include "tests/support/window.h"
#include "tests/support/xvfb.h"

namespace gltest {
namespace {

std::unique_ptr<support::Xvfb> server;

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    server = std::make_unique<support::Xvfb>();
    setenv("DISPLAY", server->display().c_str(), 1);
  }
  // The server dies with this process; GLUT keeps its connection until exit.
};

bool started = false;
Scene scene;
std::ostringstream printed;

}  // namespace

Scene& startLighter(const std::string& workdir) {
  if (!started) {
    support::startLighterIn(workdir, scene, printed);
    started = true;
  }
  return scene;
}

std::string commentary() { return printed.str(); }

void drawFrame() {
  // Let GLUT map the window and deliver its reshape before drawing.
  glutMainLoopEvent();
  display();
  glFinish();
}

}  // namespace gltest

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new gltest::XvfbEnvironment);
  return RUN_ALL_TESTS();
}
