// Lighter Demonstration: a pocket lighter that throws sparks and lights a flame.
#include <GL/glut.h>

#include <iostream>

#include "lighter/scene.h"
#include "lighter/startup.h"

int main(int argc, char** argv) {
  // The one scene, alive for the whole run: glutMainLoop never returns and
  // "Exit" ends the process without leaving main.
  static Scene scene;
  // All commentary goes to standard output; std::cout writes through C's
  // stdout, so it keeps its order with anything printed there.
  startUp(scene, &argc, argv, std::cout);
  glutMainLoop();
  return 0;
}
