// The click sequence and the menu choices, as plain changes of scene state.
// No GLUT here: the callbacks translate GLUT's events into these values.
#pragma once

#include <ostream>

#include "lighter/scene.h"

// The wheel comes as two buttons of its own, one step each press.
enum class MouseButton { kLeft, kMiddle, kRight, kWheelUp, kWheelDown, kOther };

// One press or release of a mouse button, at x and y in window pixels
// counted from the top-left corner, as the window system reports them, and
// whether Shift was held.
struct MouseEvent {
  MouseButton button = MouseButton::kOther;
  bool pressed = false;
  int x = 0;
  int y = 0;
  bool shift = false;
};

// What the GLUT side has to do after a mouse event.
struct ClickOutcome {
  bool startSparkTimers = false;  // register stopSpark and stopFlame
};

// One mouse event: a left press prints "mouse clicked at" and counts when
// it lands on the lighter (the click rectangle at the start view, the
// lighter as drawn once the camera has moved), advancing the click sequence
// and writing any spark to `out`. A left press beside the lighter, a middle
// press, and a left press with Shift (which still counts on the lighter)
// start turning the camera; their release ends it. The wheel zooms a step.
ClickOutcome handleMouse(Scene& scene, const MouseEvent& event, std::ostream& out);

// The pointer moved to window pixel (x, y) with a button held: while a
// press started turning the camera, across turns it, up and down tilts it.
// Returns whether the view changed.
bool handleMotion(Scene& scene, int x, int y);

// Whether a left press at window pixel (x, yUp), counted from the
// lower-left corner, lands on the lighter for the current view.
bool landsOnLighter(const Scene& scene, int x, int yUp);

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
  // The camera, as a drag or the wheel moves it: the Left and Right arrows
  // turn the lighter as a drag across does, Up and Down tilt it as a drag
  // up or down does, + and - zoom a wheel step in and out, R and Home go
  // back to the start view.
  kTurnLeft,
  kTurnRight,
  kTiltUp,
  kTiltDown,
  kZoomIn,
  kZoomOut,
  kResetView,
};
KeyAction actionForKey(unsigned char key);

// The keys GLUT reports apart from characters, as plain values.
enum class SpecialKey { kLeft, kRight, kUp, kDown, kHome, kF12, kOther };
KeyAction actionForSpecialKey(SpecialKey key, bool shift);

// Moves the camera for one of the camera's actions; false, changing
// nothing, for any other action.
bool moveView(ViewState& view, KeyAction action);

// Turns the flint wheel once, as a left click on the body does, without the
// click's "mouse clicked at" line (a key is no click): sparks, the flame lit
// or put out by the click sequence.
ClickOutcome turnFlintWheel(Scene& scene, std::ostream& out);

// The flame-colour menu's value after the one the flame shows, in menu
// order: Yellow, Red, Green, Blue, Rotate, then Yellow again. A colour row
// no menu entry picks counts as before Yellow.
int nextFlameColourValue(const FlameState& flame);
