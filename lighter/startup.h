// Start-up: window, render state, menus, textures, meshes, lighting.
#pragma once

#include <ostream>

#include "lighter/scene.h"

// Loads the particle image, sets the render state and initialises the
// particles. Returns false, with nothing else done, if the image load fails.
bool InitGL(Scene& scene, std::ostream& out, std::ostream& err);

// Light 0's colours, normalisation and the flat shade model.
void init_lighting(const Scene& scene);

// Everything before the event loop, in its fixed order: the window and its
// callbacks (which get `scene`), InitGL, the menus, the start values, the
// textures, both meshes and the Lit mode's arrays of them, depth test and
// lighting. The loaders' commentary and
// the callbacks' go to `out`, the system's reasons for files that cannot be
// read and what they leave undrawn to `err`; the program passes standard
// output and standard error. A mesh too large for memory throws
// MeshMemoryError, any other start-up allocation that fails std::bad_alloc.
void startUp(Scene& scene, int* argc, char** argv, std::ostream& out, std::ostream& err);
