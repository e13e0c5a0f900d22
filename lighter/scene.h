// The one scene state that every GLUT callback reads and writes.
#pragma once

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/view.h"
#include "textures/textures.h"

// The scene gathers each subsystem's share of the state, so that a subsystem's
// functions take only the part they use while the program holds one copy.
struct Scene : ViewState, MeshState, FlameState, TextureState {
  int act = 0;  // click sequence: 0 idle, 1 and 2 sparks thrown, 3 flame lit

  float light_amb[4] = {0.6f, 0.6f, 0.6f, 1.0f};
  float light_diff[4] = {0.6f, 0.6f, 0.6f, 1.0f};
  float light_spec[4] = {0.8f, 0.8f, 0.8f, 1.0f};
};

// Start-up's block of start values, assigned after the menus are built.
void assignStartValues(Scene& scene);

// The program's scene: GLUT callbacks take no context, so they reach it here.
extern Scene scene;
