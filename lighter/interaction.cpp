// Stand-ins until the click sequence and the colour menus land.
#include "lighter/interaction.h"

const MenuEntry kFlameMenu[5] = {
    {"Yellow", 1}, {"Red", 2}, {"Green", 3}, {"Blue", 4}, {"Rotate", 5}};
const MenuEntry kModeMenu[2] = {{"Wireframe", 1}, {"Smooth", 2}};

ClickOutcome handleMouse(Scene& /*scene*/, int /*button*/, int /*state*/, int /*x*/, int /*y*/) {
  return {};
}
void chooseFlameColor(FlameState& /*flame*/, int /*value*/) {}
bool chooseMeshMode(ViewState& /*view*/, int /*value*/) { return false; }
