// The program's menus as freeglut lays them out: measured in freeglut's own
// menu font, so that the "Exit" guard and whatever drives the program from
// outside agree with what freeglut draws. Needs glutInit.
#pragma once

#include "lighter/menu_pick.h"

struct MenuMeasures {
  MenuMeasure main;   // "Flame Colors", "Mesh Modes", "Exit"
  MenuMeasure flame;  // the flame colours
  MenuMeasure mode;   // the mesh modes
};

MenuMeasures measureMenus();
