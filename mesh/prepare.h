// Completes a mesh after reading: diagnostics, centre, extent, vertex normals.
#pragma once

#include "mesh/mesh.h"

// Prepares the base mesh (isBase non-zero, which also sets max_extent) or the
// lid mesh (isBase zero).
void prepareMesh(MeshState& meshes, int isBase);
