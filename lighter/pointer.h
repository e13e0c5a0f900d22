// Where the pointer is on the screen, asked of the X server the GL context
// talks to.
#pragma once

#include <optional>

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The pointer's position on its screen; nothing when there is no current
// GL context or the pointer is on another screen.
std::optional<ScreenPoint> pointerOnScreen();

// Where the point (x, y) of the window the current GL context draws into
// lies on the screen, as the X server places the window (whatever frame a
// window manager puts around it); nothing without a current context.
std::optional<ScreenPoint> windowPointOnScreen(int x, int y);
