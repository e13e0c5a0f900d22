#include "lighter/callbacks.h"

#include <GL/glut.h>

#include <cstdlib>

#include "lighter/interaction.h"
#include "lighter/scene.h"
#include "render/render.h"

namespace {

constexpr unsigned int kSparkMilliseconds = 4;
constexpr unsigned int kShortFlameMilliseconds = 70;

void addEntries(const MenuEntry* entries, int count) {
  for (int i = 0; i < count; ++i) {
    glutAddMenuEntry(entries[i].label, entries[i].value);
  }
}

}  // namespace

void display() { display(scene, scene, scene); }

void reshape(int width, int height) {
  reshape(scene, width, height);
  glutPostRedisplay();
}

void mouse(int button, int state, int x, int y) {
  if (handleMouse(scene, button, state, x, y).startSparkTimers) {
    // One-shot timers, never cancelled: a pending stopFlame also puts out a
    // flame lit less than 70 ms after the spark.
    glutTimerFunc(kSparkMilliseconds, stopSpark, 1);
    glutTimerFunc(kShortFlameMilliseconds, stopFlame, 1);
  }
  glutPostRedisplay();
}

void stopSpark(int /*value*/) { scene.playSpark = 0; }

void stopFlame(int /*value*/) { scene.flameOn = 0; }

void processSubFlameMenu(int value) { chooseFlameColor(scene, value); }

void processSubModeMenu(int value) {
  if (chooseMeshMode(scene, value)) {
    glShadeModel(GL_SMOOTH);
  }
}

void processMainMenu(int value) {
  if (value == kExitValue) {
    std::exit(0);
  }
}

void registerCallbacks() {
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
}

void buildMenus() {
  int flameMenu = glutCreateMenu(processSubFlameMenu);
  addEntries(kFlameMenu, 5);
  int modeMenu = glutCreateMenu(processSubModeMenu);
  addEntries(kModeMenu, 2);
  glutCreateMenu(processMainMenu);
  glutAddSubMenu("Flame Colors", flameMenu);
  glutAddSubMenu("Mesh Modes", modeMenu);
  glutAddMenuEntry("Exit", kExitValue);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}
