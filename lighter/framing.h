// Framing the model when the body, which frames both meshes, is missing.
#pragma once

#include "mesh/mesh.h"

// The body's size and centre place both meshes; without a body the lid,
// placed by them, would land out of sight. Then the lid is framed by its own
// size instead (the larger of its x and y extents becomes the divisor) and
// stands in the middle of the window. Changes nothing, and returns false,
// when there is a body or no lid.
bool frameLidAlone(MeshState& meshes);
