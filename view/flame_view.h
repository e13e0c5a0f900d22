// The flame where the start view shows it, for a camera that has moved.
//
// At the start view the particles are drawn in eye coordinates: a particle
// at (x, y, z) is a unit square at (x, y, z + zoom), and the flame's origin
// is seen on the line of sight at distance -zoom. Scaling that whole picture
// about the eye by k = D / -zoom, D the depth at which the flame's origin
// stands on the model (picking.h's flameDepth), changes no pixel (the
// projection is central) and puts the origin on the model: the particle sits
// in the world at anchor + k (x, y, z), a square of side k. Placed so, the
// flame belongs to the lighter: seen from anywhere it stands on the
// chimney, rises along the world's up, and each square faces the eye.
// Plain math, no GL.
#pragma once

#include <optional>

#include "view/camera.h"
#include "view/picking.h"

namespace view {

struct FlamePlacement {
  Placement worldToEye;  // the moved camera
  Vec3 anchor;           // the flame's origin in the world
  double depth = 0.0;    // its depth at the start view
};
FlamePlacement flamePlacement(const Rig& rig, double depth);

// A particle's square in eye coordinates: its middle and half its side,
// parallel to the view plane.
struct ParticleSquare {
  Vec3 centre;
  double half = 0.5;
};

// Where the particle at `position` (the particle's own, without zoom) is
// drawn; none when zoom puts it at or behind the eye, where the start view
// draws it out of sight.
std::optional<ParticleSquare> placedSquare(const FlamePlacement& flame, Vec3 position, double zoom);

// The start view's square of the same particle, as the particles have always
// been drawn: side 1 at z + zoom.
ParticleSquare startSquare(Vec3 position, double zoom);

// A point given in the start view's eye coordinates (the flame's light in
// Lit), placed in the world there and seen through the moved camera.
Vec3 startEyeToMovedEye(const FlamePlacement& flame, Vec3 startEye);

}  // namespace view
