// The lighter's flint wheel and the menu choices, as changes of scene state.
// GLUT registration, timers and redisplay requests stay in the callbacks.
#include "lighter/interaction.h"

#include "lighter/shown_model.h"

const MenuEntry kFlameMenu[5] = {
    {"Yellow", 1}, {"Red", 2}, {"Green", 3}, {"Blue", 4}, {"Rotate", 5}};
const MenuEntry kModeMenu[kModeMenuEntries] = {
    {"Wireframe", 1}, {"Smooth", 2}, {"Lit", kLitModeValue}};
const MainMenuRow kMainMenu[3] = {{"Flame Colors", true}, {"Mesh Modes", true}, {"Exit", false}};

namespace {

constexpr float kSparkZoom = -40.0f;
// Lifts the flame from the spark's distance to the steady flame's.
constexpr float kLightingZoomStep = 30.0f;

// The first two turns of the wheel: a spark burst with a short flame; the
// caller starts the timers that end both.
void throwSpark(Scene& s, std::ostream& out) {
  s.flame.zoom = kSparkZoom;
  s.flame.flameOn = 1;
  s.flame.playSpark = 1;
  ++s.act;
  out << "spark!!\n";
}

void lightFlame(Scene& s) {
  s.flame.zoom += kLightingZoomStep;
  s.flame.flameOn = 1;
  s.act = 3;
}

void putOut(Scene& s) {
  s.flame.flameOn = 0;
  s.act = 0;
}

}  // namespace

bool landsOnLighter(const Scene& s, int x, int yUp) {
  // The start view keeps its rectangle, following the window's size.
  const ViewState& v = s.view;
  if (view::isStartView(v.orbit)) return view::clickAreaFor(v.GW, v.GH).contains(x, yUp);
  return showsModel(s.meshes, rigOf(v), x, yUp, v.GW, v.GH);
}

namespace {

void startDrag(Scene& s, const MouseEvent& event) {
  s.drag = {true, event.button == MouseButton::kMiddle, event.x, event.y};
}

bool endsDrag(const Scene& s, const MouseEvent& event) {
  const MouseButton held = s.drag.middleButton ? MouseButton::kMiddle : MouseButton::kLeft;
  return s.drag.active && !event.pressed && event.button == held;
}

}  // namespace

ClickOutcome handleMouse(Scene& s, const MouseEvent& event, std::ostream& out) {
  if (event.pressed &&
      (event.button == MouseButton::kWheelUp || event.button == MouseButton::kWheelDown)) {
    moveView(s.view,
             event.button == MouseButton::kWheelUp ? KeyAction::kZoomIn : KeyAction::kZoomOut);
    return {};
  }
  if (endsDrag(s, event)) s.drag.active = false;
  if (event.pressed && event.button == MouseButton::kMiddle) startDrag(s, event);
  if (event.button != MouseButton::kLeft || !event.pressed) {
    return {};
  }
  const int x = event.x;
  const int yUp = s.view.GH - 1 - event.y;
  out << "mouse clicked at " << x << " " << yUp << "\n";
  const bool onLighter = landsOnLighter(s, x, yUp);
  if (event.shift || !onLighter) startDrag(s, event);
  if (!onLighter) return {};
  return turnFlintWheel(s, out);
}

bool handleMotion(Scene& s, int x, int y) {
  if (!s.drag.active) return false;
  const int across = x - s.drag.x, down = y - s.drag.y;
  s.drag.x = x;
  s.drag.y = y;
  if (across == 0 && down == 0) return false;
  // The lighter follows the pointer, as if held: across turns it the same
  // way, so the eye goes round the other way; down shows its top.
  s.view.orbit = view::turned(s.view.orbit, -view::kDragDegreesPerPixel * across,
                              view::kDragDegreesPerPixel * down);
  return true;
}

ClickOutcome turnFlintWheel(Scene& s, std::ostream& out) {
  switch (s.act) {
    case 0:
    case 1:
      throwSpark(s, out);
      return {true};
    case 2:
      lightFlame(s);
      return {};
    default:
      putOut(s);
      return {};
  }
}

namespace {
// Rows of the colour table for Yellow, Red, Green and Blue, and "Rotate".
constexpr int kRows[] = {1, 0, 3, 7};
constexpr int kRotate = 5;
}  // namespace

void chooseFlameColor(FlameState& flame, int value) {
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
    case 3:
      view.display_mode = kLit;  // its frames set their own shade model
      return false;
    default:
      return false;
  }
}

KeyAction actionForKey(unsigned char key) {
  constexpr unsigned char kEscape = 27;
  switch (key) {
    case ' ':
      return KeyAction::kFlint;
    case 'w':
    case 'W':
      return KeyAction::kWireframe;
    case 's':
    case 'S':
      return KeyAction::kSmooth;
    case 'l':
    case 'L':
      return KeyAction::kLit;
    case 'c':
    case 'C':
      return KeyAction::kNextFlameColour;
    case 'f':
    case 'F':
      return KeyAction::kFullScreen;
    case 'q':
    case 'Q':
    case kEscape:
      return KeyAction::kExit;
    case '+':
      return KeyAction::kZoomIn;
    case '-':
      return KeyAction::kZoomOut;
    case 'r':
    case 'R':
      return KeyAction::kResetView;
    default:
      return KeyAction::kNone;
  }
}

KeyAction actionForSpecialKey(SpecialKey key, bool shift) {
  switch (key) {
    case SpecialKey::kF12:
      return shift ? KeyAction::kRecordClip : KeyAction::kSavePicture;
    case SpecialKey::kLeft:
      return KeyAction::kTurnLeft;
    case SpecialKey::kRight:
      return KeyAction::kTurnRight;
    case SpecialKey::kUp:
      return KeyAction::kTiltUp;
    case SpecialKey::kDown:
      return KeyAction::kTiltDown;
    case SpecialKey::kHome:
      return KeyAction::kResetView;
    case SpecialKey::kOther:
      return KeyAction::kNone;
  }
  return KeyAction::kNone;
}

bool moveView(ViewState& v, KeyAction action) {
  // A key moves the lighter as a drag in its direction does (handleMotion).
  constexpr double kStep = view::kTurnStepDegrees;
  switch (action) {
    case KeyAction::kTurnLeft:
      v.orbit = view::turned(v.orbit, kStep, 0.0);
      return true;
    case KeyAction::kTurnRight:
      v.orbit = view::turned(v.orbit, -kStep, 0.0);
      return true;
    case KeyAction::kTiltUp:
      v.orbit = view::turned(v.orbit, 0.0, -kStep);
      return true;
    case KeyAction::kTiltDown:
      v.orbit = view::turned(v.orbit, 0.0, kStep);
      return true;
    case KeyAction::kZoomIn:
      v.orbit = view::zoomed(v.orbit, view::kZoomStep, v.stage);
      return true;
    case KeyAction::kZoomOut:
      v.orbit = view::zoomed(v.orbit, 1.0 / view::kZoomStep, v.stage);
      return true;
    case KeyAction::kResetView:
      v.orbit = view::Orbit{};
      return true;
    default:
      return false;  // not the camera's
  }
}

int nextFlameColourValue(const FlameState& flame) {
  int shown = 0;
  if (flame.rainbow) {
    shown = kRotate;
  } else {
    for (int i = 0; i < 4; ++i) {
      if (kRows[i] == flame.col) shown = i + 1;
    }
  }
  return shown % kRotate + 1;
}
