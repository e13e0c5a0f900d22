// The lighter's flint wheel and the menu choices, as changes of scene state.
// GLUT registration, timers and redisplay requests stay in the callbacks.
#include "lighter/interaction.h"

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

ClickOutcome handleMouse(Scene& s, const MouseEvent& event, std::ostream& out) {
  if (event.button != MouseButton::kLeft || !event.pressed) {
    return {};
  }
  const int x = event.x;
  const int yUp = s.view.GH - 1 - event.y;
  out << "mouse clicked at " << x << " " << yUp << "\n";
  if (!view::clickAreaFor(s.view.GW, s.view.GH).contains(x, yUp)) {
    return {};
  }
  return turnFlintWheel(s, out);
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
    default:
      return KeyAction::kNone;
  }
}

KeyAction actionForSpecialKey(SpecialKey key, bool shift) {
  switch (key) {
    case SpecialKey::kF12:
      return shift ? KeyAction::kRecordClip : KeyAction::kSavePicture;
    case SpecialKey::kLeft:
    case SpecialKey::kRight:
    case SpecialKey::kUp:
    case SpecialKey::kDown:
    case SpecialKey::kHome:
    case SpecialKey::kOther:
      return KeyAction::kNone;
  }
  return KeyAction::kNone;
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
