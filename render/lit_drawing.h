// The "Lit" mode's frame: shaded metal lit by a key light and by the flame,
// and a soft flame drawn with the particle image.
#pragma once

#include "mesh/mesh.h"
#include "particles/particles.h"
#include "render/lit_model.h"
#include "render/view.h"
#include "textures/texture_state.h"
#include "view/flame_view.h"

// Draws the lid and the body lit, from client vertex arrays: each in its own
// texture or colours when it has them (see surfaceOf), brushed silver
// otherwise. The first call builds the arrays and uploads the particle image
// and the model's texture under names of their own; each call leaves
// lighting off, blending and texturing on and the silver texture bound, as
// the other modes expect them. `moved`, for a camera that has moved, puts
// the flame's light in the world by the flame (none at the start view).
void drawLitObjects(const ViewState& view, const MeshState& meshes, const FlameState& flame,
                    const TextureState& textures, LitState& lit,
                    const view::FlamePlacement* moved = nullptr);

// Draws and moves the particles as the other modes do (on the lighter for
// `moved`), but textured with the particle image and without depth writes,
// so that no particle's dark corners hide another; binds the silver texture
// again afterwards.
void drawLitParticles(FlameState& flame, const LitState& lit,
                      const view::FlamePlacement* moved = nullptr);

// The flame light's fall-off and the material's shininess, and the
// material's colour following per-vertex colours (on) or not (off): the
// calls a web build's GL emulation may lack, together so that it can
// replace them (lit_gl_extras.cpp).
void applyLitExtras();
void setColourMaterial(bool on);
