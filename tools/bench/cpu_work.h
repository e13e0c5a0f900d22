// The CPU work of a frame without its GL calls, for measuring it apart.
#pragma once

#include "mesh/mesh.h"
#include "particles/particles.h"

namespace bench {

// Walks both meshes as the lighter drawing does (the same corner checks and
// the same vertex and normal reads) but sends nothing to GL; returns a sum of
// what it read so that the compiler keeps the walk.
float traverseMeshes(const MeshState& meshes, bool smooth);

// One particle pass (move, age, respawn, spark) without drawing.
void particlePassWithoutGl(FlameState& flame);

}  // namespace bench
