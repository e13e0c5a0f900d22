// Start-up: window, render state, menus, textures, meshes, lighting.
#pragma once

#include <ostream>

#include "lighter/scene.h"

// Loads the particle image, sets the render state and initialises the
// particles. Returns false, with nothing else done, if the image load fails.
bool InitGL(Scene& scene, std::ostream& out);

// Light 0's colours, normalisation and the flat shade model.
void init_lighting(const Scene& scene);

// Everything before the event loop, in its fixed order: the window and its
// callbacks (which get `scene`), InitGL, the menus, the start values, the
// textures, both meshes, depth test and lighting. The loaders' commentary and
// the callbacks' go to `out`; the program passes standard output.
void startUp(Scene& scene, int* argc, char** argv, std::ostream& out);
