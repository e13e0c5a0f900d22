// One frame: projection, camera, the lighter, the flame, swap.
#pragma once

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/view.h"

// Width over height for the projection. A window squashed to no height (or
// no width) is taken as one pixel in that direction, so the aspect stays
// finite and non-zero.
double aspectRatio(int width, int height);

// Draws one whole frame and asks for the next.
void display(ViewState& view, const MeshState& meshes, FlameState& flame);

// Records the window size that the next frame uses.
void reshape(ViewState& view, int width, int height);

// Draws the lid and the body, placed and scaled, in the current mode.
void drawObjects(const ViewState& view, const MeshState& meshes);

// Draw one face of the lid or of the body in the current mode; a face with a
// corner outside its mesh is skipped.
void drawLighterTop(const ViewState& view, const MeshState& meshes, const Tri& face);
void drawLighterBase(const ViewState& view, const MeshState& meshes, const Tri& face);
