#include "lighter/callbacks.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <iostream>
#include <optional>

#include "lighter/interaction.h"
#include "lighter/keeping.h"
#include "lighter/menu_layout.h"
#include "lighter/menu_pick.h"
#include "lighter/pointer.h"
#include "render/render.h"

namespace {

constexpr unsigned int kSparkMilliseconds = 4;
constexpr unsigned int kShortFlameMilliseconds = 70;
// --strike: the turns of the flint wheel at the start, this far apart.
constexpr unsigned int kStrikeMilliseconds = 500;

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
    // A press (and on the desktop a release) for each step of the wheel.
    case kWheelUpButton:
      return MouseButton::kWheelUp;
    case kWheelDownButton:
      return MouseButton::kWheelDown;
    default:
      return MouseButton::kOther;
  }
}

SpecialKey specialKeyOf(int glutKey) {
  switch (glutKey) {
    case GLUT_KEY_LEFT:
      return SpecialKey::kLeft;
    case GLUT_KEY_RIGHT:
      return SpecialKey::kRight;
    case GLUT_KEY_UP:
      return SpecialKey::kUp;
    case GLUT_KEY_DOWN:
      return SpecialKey::kDown;
    case GLUT_KEY_HOME:
      return SpecialKey::kHome;
    case GLUT_KEY_F12:
      return SpecialKey::kF12;
    default:
      // freeglut also reports the modifier keys themselves (Shift as 112).
      return SpecialKey::kOther;
  }
}

bool shiftHeld() { return (glutGetModifiers() & GLUT_ACTIVE_SHIFT) != 0; }

// Turns of the flint wheel still to make once the first frame is drawn.
int gStrikesAtStart = 0;

// Where the main menu was last opened: the pointer, in screen pixels.
std::optional<ScreenPoint> gMenuOpenedAt;

void startSparkTimers(const ClickOutcome& outcome) {
  if (!outcome.startSparkTimers) return;
  // One-shot timers, never cancelled: a pending stopFlame also puts out a
  // flame lit less than 70 ms after the spark.
  glutTimerFunc(kSparkMilliseconds, stopSpark, 1);
  glutTimerFunc(kShortFlameMilliseconds, stopFlame, 1);
}

// The main menu where freeglut drew it.
MenuBox mainMenuBox(ScreenPoint openedAt) {
  static const MenuMeasure measure = measureMenus().main;
  return placeMenu(openedAt.x, openedAt.y, measure, glutGet(GLUT_SCREEN_WIDTH),
                   glutGet(GLUT_SCREEN_HEIGHT));
}

// A pick of "Exit" is real when the pointer is on "Exit" as the menu was
// drawn. Where either position is unknown the pick stands.
bool pointerOnExit() {
  const std::optional<ScreenPoint> pointer = pointerOnScreen();
  if (!gMenuOpenedAt || !pointer) return true;
  return pointerOnRow(mainMenuBox(*gMenuOpenedAt), kExitRow, pointer->x, pointer->y);
}

void addEntries(const MenuEntry* entries, int count) {
  for (int i = 0; i < count; ++i) {
    glutAddMenuEntry(entries[i].label, entries[i].value);
  }
}

// What a key does, from the keyboard or the special keys alike.
void perform(KeyAction action) {
  if (moveView(gScene->view, action)) {
    glutPostRedisplay();
    return;
  }
  switch (action) {
    case KeyAction::kNone:
      return;
    case KeyAction::kFlint:
      startSparkTimers(turnFlintWheel(*gScene, *gOut));
      break;
    case KeyAction::kWireframe:
      processSubModeMenu(kModeMenu[0].value);
      break;
    case KeyAction::kSmooth:
      processSubModeMenu(kModeMenu[1].value);
      break;
    case KeyAction::kLit:
      processSubModeMenu(kLitModeValue);
      break;
    case KeyAction::kNextFlameColour:
      processSubFlameMenu(nextFlameColourValue(gScene->flame));
      break;
    case KeyAction::kFullScreen:
      glutFullScreenToggle();
      break;
    case KeyAction::kExit:
      std::exit(0);
    case KeyAction::kSavePicture:
      askForPicture();
      break;
    case KeyAction::kRecordClip:
      startOrStopClip();
      break;
    case KeyAction::kTurnLeft:
    case KeyAction::kTurnRight:
    case KeyAction::kTiltUp:
    case KeyAction::kTiltDown:
    case KeyAction::kZoomIn:
    case KeyAction::kZoomOut:
    case KeyAction::kResetView:
      return;  // moved the view above
  }
  glutPostRedisplay();
}

// One turn of --strike; `left` turns follow it. Each turn registers the
// next from its own time, so turns stay half a second apart however late a
// busy loop runs them: the spark's 70 ms short-flame timer never meets the
// turn that lights the flame.
void strike(int left) {
  perform(KeyAction::kFlint);
  if (left > 0) glutTimerFunc(kStrikeMilliseconds, strike, left - 1);
}

// Each frame, once drawn and before its swap: the first starts the turns of
// --strike, and every one may be kept.
void frameDrawn() {
  if (gStrikesAtStart > 0) glutTimerFunc(kStrikeMilliseconds, strike, gStrikesAtStart - 1);
  gStrikesAtStart = 0;
  keepDrawnFrame(gScene->view.GW, gScene->view.GH);
}

}  // namespace

void display() {
  display(gScene->view, gScene->meshes, gScene->flame, gScene->textures, gScene->lit, frameDrawn);
}

void reshape(int width, int height) {
  reshape(gScene->view, width, height);
  glutPostRedisplay();
}

void mouse(int button, int state, int x, int y) {
  // Shift matters to a left press only (freeglut answers the question only
  // inside its own callbacks).
  const bool leftPress = button == GLUT_LEFT_BUTTON && state == GLUT_DOWN;
  const MouseEvent event{buttonOf(button), state == GLUT_DOWN, x, y, leftPress && shiftHeld()};
  startSparkTimers(handleMouse(*gScene, event, *gOut));
  glutPostRedisplay();
}

void motion(int x, int y) {
  if (handleMotion(*gScene, x, y)) glutPostRedisplay();
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
    if (!pointerOnExit()) {
      std::cerr << "lighter: \"Exit\" was picked by a click away from the menu; not exiting\n";
      return;
    }
    std::exit(0);
  }
}

void keyboard(unsigned char key, int /*x*/, int /*y*/) { perform(actionForKey(key)); }

void special(int key, int /*x*/, int /*y*/) {
  perform(actionForSpecialKey(specialKeyOf(key), shiftHeld()));
}

void strikeAtStart(int turns) { gStrikesAtStart = turns; }

// freeglut opens the menu where the pointer is as it handles the press,
// and calls this then.
void menuStatus(int status, int /*x*/, int /*y*/) {
  if (status == GLUT_MENU_IN_USE) gMenuOpenedAt = pointerOnScreen();
}

void registerCallbacks(Scene& scene, std::ostream& out) {
  gScene = &scene;
  gOut = &out;
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
  glutKeyboardFunc(keyboard);
  glutSpecialFunc(special);
  glutMotionFunc(motion);
  glutMenuStatusFunc(menuStatus);
}

void buildMenus() {
  int flameMenu = glutCreateMenu(processSubFlameMenu);
  addEntries(kFlameMenu, 5);
  int modeMenu = glutCreateMenu(processSubModeMenu);
  addEntries(kModeMenu, kModeMenuEntries);
  glutCreateMenu(processMainMenu);
  glutAddSubMenu(kMainMenu[0].label, flameMenu);
  glutAddSubMenu(kMainMenu[1].label, modeMenu);
  glutAddMenuEntry(kMainMenu[kExitRow].label, kExitValue);
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}
