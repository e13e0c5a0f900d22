// Entry of the GL tests: every test gets a display of its own.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "lighter/callbacks.h"
#include "lighter/startup.h"
#include "tests/gl/gl_fixture.h"
#include "tests/support/command.h"
#include "tests/support/xvfb.h"

// Last: X11 headers define macros that clash with GoogleTest.
#include <GL/glx.h>

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

}  // namespace

Scene& startLighter(const std::string& workdir) {
  if (!started) {
    if (chdir(workdir.c_str()) != 0) throw std::runtime_error("no directory " + workdir);
    static int argc = 1;
    static char name[] = "lighter";
    static char* argv[] = {name, nullptr};
    startUp(scene, &argc, argv);
    started = true;
    // Wait until the window is mapped, so that its front buffer can be read.
    support::waitUntil(
        [] {
          glutMainLoopEvent();
          XWindowAttributes attributes{};
          XGetWindowAttributes(glXGetCurrentDisplay(), glXGetCurrentDrawable(), &attributes);
          return attributes.map_state == IsViewable;
        },
        support::Seconds(10), std::chrono::milliseconds(5));
  }
  return scene;
}

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
