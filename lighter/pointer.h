// Where the pointer is on the screen, asked of the X server the window is
// on through a connection of the program's own, so that no GL or GLX call
// is made for it (a frame's calls stay what they were).
#pragma once

#include <optional>
#include <string>

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The X display the window opens on: GLUT's -display value, or empty for
// $DISPLAY, as GLUT takes it. Call before the first question.
void setPointerDisplay(std::string name);

// The pointer's position on its screen; nothing when the display cannot be
// reached or the pointer is on another screen.
std::optional<ScreenPoint> pointerOnScreen();
