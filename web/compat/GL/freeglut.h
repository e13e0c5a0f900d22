// freeglut's header on the web: Emscripten's GLUT declares the GLUT 3 calls
// and freeglut's standard ones; the freeglut extensions the program calls
// are declared here and defined in web/glut_stand_ins.cpp.
#pragma once

#include <GL/glut.h>

#ifdef __cplusplus
extern "C" {
#endif
void glutFullScreenToggle(void);
int glutBitmapHeight(void* font);
#ifdef __cplusplus
}
#endif
