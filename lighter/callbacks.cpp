#include "lighter/callbacks.h"

#include <GL/glut.h>

#include <cstdlib>

#include "lighter/interaction.h"
#include "render/render.h"

namespace {

constexpr unsigned int kSparkMilliseconds = 4;
constexpr unsigned int kShortFlameMilliseconds = 70;

// The scene and the commentary's stream of registerCallbacks: GLUT's
// callbacks take no context argument.
Scene* gScene = nullptr;
std::ostream* gOut = nullptr;

MouseButton buttonOf(int glutButton) {
  switch (glutButton) {
    case GLUT_LEFT_BUTTON:
      return MouseButton::kLeft;
    case GLUT_MIDDLE_BUTTON:
      return MouseButton::kMiddle;
    case GLUT_RIGHT_BUTTON:
      return MouseButton::kRight;
    default:
      return MouseButton::kOther;
  }
}

void addEntries(const MenuEntry* entries, int count) {
  for (int i = 0; i < count; ++i) {
    glutAddMenuEntry(entries[i].label, entries[i].value);
  }
}

}  // namespace

void display() {
  display(gScene->view, gScene->meshes, gScene->flame, gScene->textures, gScene->lit);
}

void reshape(int width, int height) {
  reshape(gScene->view, width, height);
  glutPostRedisplay();
}

void mouse(int button, int state, int x, int y) {
  const MouseEvent event{buttonOf(button), state == GLUT_DOWN, x, y};
  if (handleMouse(*gScene, event, *gOut).startSparkTimers) {
    // One-shot timers, never cancelled: a pending stopFlame also puts out a
    // flame lit less than 70 ms after the spark.
    glutTimerFunc(kSparkMilliseconds, stopSpark, 1);
    glutTimerFunc(kShortFlameMilliseconds, stopFlame, 1);
  }
  glutPostRedisplay();
}

void stopSpark(int /*value*/) { gScene->flame.playSpark = 0; }

void stopFlame(int /*value*/) { gScene->flame.flameOn = 0; }

void processSubFlameMenu(int value) { chooseFlameColor(gScene->flame, value); }

void processSubModeMenu(int value) {
  if (chooseMeshMode(gScene->view, value)) {
    glShadeModel(GL_SMOOTH);
  }
}

void processMainMenu(int value) {
  if (value == kExitValue) {
    std::exit(0);
  }
}

void registerCallbacks(Scene& scene, std::ostream& out) {
  gScene = &scene;
  gOut = &out;
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
}

void buildMenus() {
  int flameMenu = glutCreateMenu(processSubFlameMenu);
  addEntries(kFlameMenu, 5);
  int modeMenu = glutCreateMenu(processSubModeMenu);
  addEntries(kModeMenu, kModeMenuEntries);
  glutCreateMenu(processMainMenu);
  glutAddSubMenu("Flame Colors", flameMenu);
  glutAddSubMenu("Mesh Modes", modeMenu);
  glutAddMenuEntry("Exit", kExitValue);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}
