// The freeglut calls the program makes that Emscripten's GLUT lacks, and
// the keys on the web.
#include <GL/freeglut.h>
#include <emscripten.h>

#include "lighter/interaction.h"

namespace {

using KeyCallback = void (*)(unsigned char, int, int);

KeyCallback gProgramKeyboard = nullptr;

// A web page cannot end: Q and Escape, which end the desktop program, are
// not passed on. Every other key goes to the program's own callback.
void keyboardOnTheWeb(unsigned char key, int x, int y) {
  if (actionForKey(key) == KeyAction::kExit) return;
  gProgramKeyboard(key, x, y);
}

// What Emscripten's glutKeyboardFunc does.
EM_JS(void, setGlutKeyboardCallback, (KeyCallback callback), { GLUT.keyboardFunc = callback; });

EM_JS(int, pageIsFullScreen, (), { return document.fullscreenElement ? 1 : 0; });

EM_JS(void, leavePageFullScreen, (), { document.exitFullscreen(); });

}  // namespace

extern "C" {

// Emscripten's GLUT sends the browser's key presses to the registered
// callback; it gets keyboardOnTheWeb in front of the program's.
void glutKeyboardFunc(KeyCallback callback) {
  gProgramKeyboard = callback;
  setGlutKeyboardCallback(callback != nullptr ? keyboardOnTheWeb : nullptr);
}

// F: the canvas fills the screen, as the browser allows after a key press,
// and the next F (or the browser's Escape) gives it back.
void glutFullScreenToggle() {
  if (pageIsFullScreen()) {
    leavePageFullScreen();
  } else {
    glutFullScreen();
  }
}

// The desktop notes where its menu opened and measures it in freeglut's
// font, for the "Exit" guard; the page's menu is HTML and has no "Exit".
void glutMenuStatusFunc(void (* /*callback*/)(int, int, int)) {}

void* glutBitmapHelvetica18 = nullptr;

int glutBitmapLength(void* /*font*/, const unsigned char* /*text*/) { return 0; }

int glutBitmapHeight(void* /*font*/) { return 0; }

}  // extern "C"
