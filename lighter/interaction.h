// The click sequence and the menu choices, as plain changes of scene state.
// No GLUT here: the callbacks translate GLUT's events into these values.
#pragma once

#include <ostream>

#include "lighter/scene.h"

enum class MouseButton { kLeft, kMiddle, kRight, kOther };

// One press or release of a mouse button, at x and y in window pixels
// counted from the top-left corner, as the window system reports them.
struct MouseEvent {
  MouseButton button = MouseButton::kOther;
  bool pressed = false;
  int x = 0;
  int y = 0;
};

// What the GLUT side has to do after a mouse event.
struct ClickOutcome {
  bool startSparkTimers = false;  // register stopSpark and stopFlame
};

// Advances the click sequence for one mouse event. Writes the click and any
// spark to `out`.
ClickOutcome handleMouse(Scene& scene, const MouseEvent& event, std::ostream& out);

// Flame-colour menu: 1 Yellow, 2 Red, 3 Green, 4 Blue, 5 Rotate.
void chooseFlameColor(FlameState& flame, int value);

// Mesh-mode menu: 1 Wireframe, 2 Smooth, 3 Lit. Returns true when the shade model
// must become smooth.
bool chooseMeshMode(ViewState& view, int value);

// A menu entry as the menus show it.
struct MenuEntry {
  const char* label;
  int value;
};

extern const MenuEntry kFlameMenu[5];
inline constexpr int kModeMenuEntries = 3;
extern const MenuEntry kModeMenu[kModeMenuEntries];
inline constexpr int kExitValue = 1;

// The main menu's rows, top to bottom: two submenus, then "Exit".
struct MainMenuRow {
  const char* label;
  bool opensSubmenu;
};
extern const MainMenuRow kMainMenu[3];
inline constexpr int kExitRow = 2;

// "Lit" in the mesh-mode menu.
inline constexpr int kLitModeValue = 3;

// Keys, each the same action as a click or a menu pick. Letters count in
// either case.
enum class KeyAction {
  kNone,
  kFlint,      // Space: the flint wheel, as a left click on the body
  kWireframe,  // W, S, L: the mesh modes
  kSmooth,
  kLit,
  kNextFlameColour,  // C: the next flame colour (nextFlameColourValue)
  kFullScreen,       // F: full screen on or off
  kExit,             // Q and Escape: "Exit"
  kSavePicture,      // F12: the window as a picture in the pictures folder
  kRecordClip,       // Shift+F12: a clip of the window starts, or ends
};
KeyAction actionForKey(unsigned char key);

// The keys GLUT reports apart from characters, as plain values.
enum class SpecialKey { kLeft, kRight, kUp, kDown, kHome, kF12, kOther };
KeyAction actionForSpecialKey(SpecialKey key, bool shift);

// Turns the flint wheel once, as a left click on the body does, without the
// click's "mouse clicked at" line (a key is no click): sparks, the flame lit
// or put out by the click sequence.
ClickOutcome turnFlintWheel(Scene& scene, std::ostream& out);

// The flame-colour menu's value after the one the flame shows, in menu
// order: Yellow, Red, Green, Blue, Rotate, then Yellow again. A colour row
// no menu entry picks counts as before Yellow.
int nextFlameColourValue(const FlameState& flame);
