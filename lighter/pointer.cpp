#include "lighter/pointer.h"

#include <X11/Xlib.h>

#include <utility>

namespace {

std::string gDisplayName;

// Opened at the first question and kept for the program's life.
Display* connection() {
  static Display* display = XOpenDisplay(gDisplayName.empty() ? nullptr : gDisplayName.c_str());
  return display;
}

}  // namespace

void setPointerDisplay(std::string name) { gDisplayName = std::move(name); }

std::optional<ScreenPoint> pointerOnScreen() {
  Display* display = connection();
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
