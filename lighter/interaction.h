// The click sequence and the menu choices, as plain changes of scene state.
#pragma once

#include "lighter/scene.h"

// What the GLUT side has to do after a mouse event.
struct ClickOutcome {
  bool startSparkTimers = false;  // register stopSpark and stopFlame
};

// Advances the click sequence for one mouse event (button and state as GLUT
// gives them, x and y in window pixels counted from the top). Prints the
// click and any spark on standard output.
ClickOutcome handleMouse(Scene& scene, int button, int state, int x, int y);

// Flame-colour menu: 1 Yellow, 2 Red, 3 Green, 4 Blue, 5 Rotate.
void chooseFlameColor(FlameState& flame, int value);

// Mesh-mode menu: 1 Wireframe, 2 Smooth. Returns true when the shade model
// must become smooth.
bool chooseMeshMode(ViewState& view, int value);

// A menu entry as the menus show it.
struct MenuEntry {
  const char* label;
  int value;
};

extern const MenuEntry kFlameMenu[5];
extern const MenuEntry kModeMenu[2];
inline constexpr int kExitValue = 1;
