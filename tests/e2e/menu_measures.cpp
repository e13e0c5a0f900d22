// Prints the sizes freeglut gives the program's menus, one menu a line
// ("main LABEL_WIDTH FONT_HEIGHT ROWS"), measured on $DISPLAY: the harness
// finds and points into the menus by them.
#include <GL/freeglut.h>

#include <cstdio>

#include "lighter/menu_layout.h"

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  const MenuMeasures m = measureMenus();
  const auto print = [](const char* name, const MenuMeasure& measure) {
    std::printf("%s %d %d %d\n", name, measure.labelWidth, measure.fontHeight, measure.rows);
  };
  print("main", m.main);
  print("flame", m.flame);
  print("mode", m.mode);
  return 0;
}
