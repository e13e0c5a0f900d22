// The reader of the `.m` mesh format.
#pragma once

#include <istream>
#include <ostream>

#include "mesh/mesh.h"

// Reads the mesh file `name` into the base mesh (isBase non-zero) or the lid
// mesh (isBase zero), writing its commentary to `out`. A file that cannot be
// opened is reported and leaves the mesh as it was.
void ReadFile(MeshState& meshes, const char* name, int isBase, std::ostream& out);

// Reads `.m` lines from `in` to its end into the mesh chosen by isBase; `name`
// only labels the messages about faces that are skipped.
void readStream(MeshState& meshes, std::istream& in, int isBase, const char* name,
                std::ostream& out);
