// The page's own zoom: the wheel over the canvas, and two fingers pinching
// it. The page's JavaScript (web/shell.html) counts the wheel's notches,
// since Emscripten's GLUT reads Chrome's wheel the wrong way round, and
// follows the fingers, since it makes a left button of one finger and
// nothing of two; it calls here once per step, and the steps reach the
// program as the desktop's wheel does, as buttons 3 and 4.
#include <GL/glut.h>
#include <emscripten.h>

#include <cstdlib>

#include "lighter/callbacks.h"
#include "view/camera.h"

extern "C" {

// How far apart the fingers must move for one step: the distance between
// them grows by 1 / kZoomStep as the lighter comes one step nearer.
EMSCRIPTEN_KEEPALIVE double lighterWebZoomStep() { return view::kZoomStep; }

// `steps` wheel steps with the pointer at canvas pixel (x, y): nearer when
// positive, farther when negative, through the program's mouse callback.
EMSCRIPTEN_KEEPALIVE void lighterWebZoom(int steps, int x, int y) {
  const int button = steps > 0 ? kWheelUpButton : kWheelDownButton;
  for (int i = 0; i < std::abs(steps); ++i) mouse(button, GLUT_DOWN, x, y);
}

}  // extern "C"
