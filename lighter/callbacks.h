// GLUT callbacks: thin adapters from GLUT's events to the one scene.
#pragma once

#include <ostream>

#include "lighter/scene.h"

// The wheel without a wheel callback: presses of buttons 3 (up, away from the
// user) and 4 (down), as freeglut and Emscripten's GLUT report it.
inline constexpr int kWheelUpButton = 3;
inline constexpr int kWheelDownButton = 4;

void display();
void reshape(int width, int height);
void mouse(int button, int state, int x, int y);
void stopSpark(int value);
void stopFlame(int value);
void processSubFlameMenu(int value);
void processSubModeMenu(int value);
void processMainMenu(int value);
void motion(int x, int y);
void keyboard(unsigned char key, int x, int y);
void special(int key, int x, int y);
void menuStatus(int status, int x, int y);

// Hands `scene` to the callbacks, which take no context from GLUT, and
// registers display, reshape, mouse, motion, keyboard, special keys and menu
// status with GLUT. The click commentary goes to `out`. Both must outlive the
// event loop.
void registerCallbacks(Scene& scene, std::ostream& out);

// Turns the flint wheel `turns` times, as Space does, half a second apart,
// the first half a second after the first frame is drawn.
void strikeAtStart(int turns);

// Builds the flame-colour, mesh-mode and main menus, in that order, and
// attaches the main menu to the right button.
void buildMenus();
