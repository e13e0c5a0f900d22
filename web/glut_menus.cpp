// GLUT's menus on the web: the emulation has none, so the menus the program
// builds (buildMenus) are recorded and the page shows the attached one as an
// HTML context menu (web/shell.html). A choice there calls the program's own
// menu callback, as freeglut would.
#include <GL/glut.h>
#include <emscripten.h>

#include <string>

#include "lighter/callbacks.h"
#include "lighter/interaction.h"
#include "web/menus.h"

namespace {

web::MenuRegistry gMenus;

// A page has no process to end: "Exit" is left out of the page's menu.
bool leftOutOnTheWeb(const web::Menu* menu, int value) {
  return menu != nullptr && menu->callback == processMainMenu && value == kExitValue;
}

}  // namespace

extern "C" {

int glutCreateMenu(void (*callback)(int)) { return gMenus.create(callback); }

void glutAddMenuEntry(const char* label, int value) {
  if (!leftOutOnTheWeb(gMenus.current(), value)) gMenus.addEntry(label, value);
}

void glutAddSubMenu(const char* label, int subMenu) { gMenus.addSubMenu(label, subMenu); }

// Only the right button has a menu on the page.
void glutAttachMenu(int button) {
  if (button == GLUT_RIGHT_BUTTON) gMenus.attachCurrent();
}

// The page's calls: the menu to draw, and a choice from it.
EMSCRIPTEN_KEEPALIVE const char* lighterWebMenus() {
  static std::string description;
  description = gMenus.describeAttached();
  return description.c_str();
}

EMSCRIPTEN_KEEPALIVE int lighterWebChooseMenuEntry(int menu, int value) {
  const bool chosen = gMenus.choose(menu, value);
  if (chosen) glutPostRedisplay();
  return chosen ? 1 : 0;
}

}  // extern "C"
