// The one scene state that the GLUT callbacks read and write.
#pragma once

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/lit_model.h"
#include "render/view.h"
#include "textures/texture_state.h"

// Each subsystem's share of the state, so that a subsystem's functions take
// only the part they use. The application owns one Scene and hands it to
// the callbacks. Every start value is the member's initializer here or in
// the share's record.
struct Scene {
  ViewState view;
  MeshState meshes;
  FlameState flame;
  TextureState textures;
  LitState lit;

  int act = 0;  // click sequence: 0 idle, 1 and 2 sparks thrown, 3 flame lit

  // A press that turns the camera while its button is held: where the
  // pointer was last, in window pixels from the top-left corner.
  struct Drag {
    bool active = false;
    bool middleButton = false;  // held by the middle button, else the left
    int x = 0;
    int y = 0;
  } drag;

  float light_amb[4] = {0.6f, 0.6f, 0.6f, 1.0f};
  float light_diff[4] = {0.6f, 0.6f, 0.6f, 1.0f};
  float light_spec[4] = {0.8f, 0.8f, 0.8f, 1.0f};
};

// Start-up's block of start values, assigned after the menus are built: the
// bounding box, the centres, max_extent, the flame controls, act, the mesh
// mode and the placement go back to their initializers.
void assignStartValues(Scene& scene);
