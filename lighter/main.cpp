// Lighter Demonstration: a pocket lighter that throws sparks and lights a flame.
#include <GL/glut.h>

#include "lighter/scene.h"
#include "lighter/startup.h"

int main(int argc, char** argv) {
  startUp(scene, &argc, argv);
  glutMainLoop();
  return 0;
}
