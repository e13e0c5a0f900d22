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

// Draws the flame and its sparks by their looks (flame_look.h) and moves
// the particles exactly as the other modes do. The squares, textured with
// the particle image, in eye coordinates (where the start view draws them,
// or on the lighter for `moved`), go into the flame buffer (flame_buffer.h)
// with this frame's projection, over a viewport of the buffer's size; the
// buffer is then added onto the frame over the particles' box, at the depth
// of their nearest point, under the depth test, so that the lighter hides
// the flame where it stands in front of it. Leaves the render state as it
// found it, the silver texture bound.
void drawLitFlame(const ViewState& view, FlameState& flame, LitState& lit,
                  const view::FlamePlacement* moved = nullptr);

// Gives up the flame buffer's GL objects and draws the flame through
// `path` from the next frame on (kUnchosen: the driver's best again), for
// tests and benchmarks that compare the two.
void useFlamePath(LitState& lit, FlameTarget::Path path);

// The flame light's fall-off and the material's shininess, and the
// material's colour following per-vertex colours (on) or not (off): the
// calls a web build's GL emulation may lack, together so that it can
// replace them (lit_gl_extras.cpp).
void applyLitExtras();
void setColourMaterial(bool on);
