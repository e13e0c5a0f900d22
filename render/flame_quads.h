// Lit's particles as one interleaved vertex array, built each frame from the
// particles' looks (flame_look.h) before they move, and drawn with one call.
// No GL.
#pragma once

#include <cstddef>
#include <vector>

#include "particles/particles.h"
#include "view/flame_view.h"

// One corner: position, texture coordinate, colour and alpha, interleaved
// (the layout a web build's GL emulation takes without copying).
struct FlameVertex {
  float x, y, z;
  float s, t;
  float r, g, b, a;
};

// Two triangles a particle, as many as there are particles; the vertices in
// use come first. Sized once: frames allocate nothing.
struct FlameQuads {
  std::vector<FlameVertex> vertices = std::vector<FlameVertex>(6 * kParticleCount);
  size_t count = 0;  // vertices in use
  // The box of the vertices in use, in the coordinates they were given in.
  float low[3] = {0.0f, 0.0f, 0.0f};
  float high[3] = {0.0f, 0.0f, 0.0f};
};

// Empties the array.
void clearQuads(FlameQuads& quads);

// Adds one square with corners centre ± halfU ± halfV, all in the current
// coordinates, its texture's s running along halfU and t along halfV, in
// one colour: the corner at centre + halfU + halfV has texture coordinate
// (1, 1), as the other modes' first vertex. Does nothing when full.
void emitQuad(FlameQuads& quads, const float centre[3], const float halfU[3], const float halfV[3],
              const float rgba[4]);

// The frame's squares of every alive particle with a visible look, in the
// frame's eye coordinates: at the start view at its look's centre with
// `zoom` added to z, as the other modes draw it; for a camera that has
// moved (`moved`), on the lighter where view::placedSquare puts that centre,
// facing the eye and scaled as the square there is. Reads the particles,
// changes nothing.
void buildFlameQuads(const FlameState& flame, FlameQuads& quads,
                     const view::FlamePlacement* moved = nullptr);
