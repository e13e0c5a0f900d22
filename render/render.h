// One frame: projection, camera, the lighter, the flame, swap.
#pragma once

#include <optional>

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/lit_model.h"
#include "render/view.h"
#include "textures/texture_state.h"
#include "view/flame_view.h"

// Draws one whole frame and asks for the next. `textures` and `lit` serve the
// "Lit" mode only. `drawn`, when given, runs once the frame is drawn, before
// its swap, while the back buffer holds it.
void display(ViewState& view, const MeshState& meshes, FlameState& flame,
             const TextureState& textures, LitState& lit, void (*drawn)() = nullptr);

// The view module's projection, viewport and camera for the window size and
// the orbit in `view`, leaving GL_MODELVIEW current with the camera
// multiplied on. At the start view the camera is gluLookAt with the view
// module's constants, exactly.
void applyView(const ViewState& view);

// The flame's placement on the lighter for a camera that has moved; none at
// the start view, whose frames draw the flame in eye coordinates.
std::optional<view::FlamePlacement> movedFlame(const ViewState& view);

// Draws the lid and the body, placed and scaled, in the current mode.
void drawObjects(const ViewState& view, const MeshState& meshes);

// Draw one face of the lid or of the body in the current mode; a face with a
// corner outside its mesh is skipped.
void drawLighterTop(const ViewState& view, const MeshState& meshes, const Tri& face);
void drawLighterBase(const ViewState& view, const MeshState& meshes, const Tri& face);
