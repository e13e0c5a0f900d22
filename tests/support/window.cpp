#include "tests/support/window.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

#include "lighter/startup.h"
#include "tests/support/command.h"

// Last: X11 headers define macros that clash with other headers.
#include <GL/glx.h>

namespace support {

void startLighterIn(const std::string& workdir, Scene& scene, std::ostream& out) {
  if (chdir(workdir.c_str()) != 0) throw std::runtime_error("no directory " + workdir);
  static int argc = 1;
  static char name[] = "lighter";
  static char* argv[] = {name, nullptr};
  startUp(scene, &argc, argv, out, std::cerr);
  waitUntil(
      [] {
        glutMainLoopEvent();
        XWindowAttributes attributes{};
        XGetWindowAttributes(glXGetCurrentDisplay(), glXGetCurrentDrawable(), &attributes);
        return attributes.map_state == IsViewable;
      },
      Seconds(10), std::chrono::milliseconds(5));
}

}  // namespace support
