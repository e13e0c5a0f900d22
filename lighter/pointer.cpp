#include "lighter/pointer.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

std::optional<ScreenPoint> pointerOnScreen() {
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr) return std::nullopt;
  Window root = 0;
  Window child = 0;
  int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                     &windowY, &buttons)) {
    return std::nullopt;
  }
  return ScreenPoint{rootX, rootY};
}

std::optional<ScreenPoint> windowPointOnScreen(int x, int y) {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (display == nullptr || window == 0) return std::nullopt;
  int screenX = 0, screenY = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &screenX, &screenY,
                             &child)) {
    return std::nullopt;
  }
  return ScreenPoint{screenX, screenY};
}
