// Completes a mesh after reading: diagnostics, centre, extent, vertex normals.
#pragma once

#include <ostream>

#include "mesh/mesh.h"

// Prepares the base mesh (isBase non-zero, which also sets max_extent) or the
// lid mesh (isBase zero); its check of the first vertices and faces goes to
// `out`.
void prepareMesh(MeshState& meshes, int isBase, std::ostream& out);
