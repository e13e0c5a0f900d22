// The lighter's flint wheel and the menu choices, as changes of scene state.
// GLUT registration, timers and redisplay requests stay in the callbacks.
#include "lighter/interaction.h"

#include <GL/glut.h>

#include <cstdio>

const MenuEntry kFlameMenu[5] = {
    {"Yellow", 1}, {"Red", 2}, {"Green", 3}, {"Blue", 4}, {"Rotate", 5}};
const MenuEntry kModeMenu[2] = {{"Wireframe", 1}, {"Smooth", 2}};

namespace {

constexpr float kSparkZoom = -40.0f;
// Lifts the flame from the spark's distance to the steady flame's.
constexpr float kLightingZoomStep = 30.0f;

// The first two turns of the wheel: a spark burst with a short flame; the
// caller starts the timers that end both.
void throwSpark(Scene& s) {
  s.zoom = kSparkZoom;
  s.flameOn = 1;
  s.playSpark = 1;
  ++s.act;
  std::puts("spark!!");
}

void lightFlame(Scene& s) {
  s.zoom += kLightingZoomStep;
  s.flameOn = 1;
  s.act = 3;
}

void putOut(Scene& s) {
  s.flameOn = 0;
  s.act = 0;
}

}  // namespace

ClickOutcome handleMouse(Scene& s, int button, int state, int x, int y) {
  if (button != GLUT_LEFT_BUTTON || state != GLUT_DOWN) {
    return {};
  }
  const int yUp = s.GH - 1 - y;
  std::printf("mouse clicked at %d %d\n", x, yUp);
  if (!view::kClickArea.contains(x, yUp)) {
    return {};
  }
  switch (s.act) {
    case 0:
    case 1:
      throwSpark(s);
      return {true};
    case 2:
      lightFlame(s);
      return {};
    default:
      putOut(s);
      return {};
  }
}

void chooseFlameColor(FlameState& flame, int value) {
  // Rows of the colour table for Yellow, Red, Green and Blue.
  constexpr int kRows[] = {1, 0, 3, 7};
  constexpr int kRotate = 5;
  if (value >= 1 && value <= 4) {
    flame.col = kRows[value - 1];
    flame.rainbow = false;
  } else if (value == kRotate) {
    flame.rainbow = true;
  }
}

bool chooseMeshMode(ViewState& view, int value) {
  switch (value) {
    case 1:
      view.display_mode = kWireframe;
      return false;
    case 2:
      view.display_mode = kSmooth;
      return true;
    default:
      return false;
  }
}
