// Stand-ins until the mesh reader lands: both meshes stay empty.
#include "mesh/prepare.h"
#include "mesh/reader.h"

void ReadFile(MeshState& /*meshes*/, const char* /*name*/, int /*isBase*/) {}
void prepareMesh(MeshState& /*meshes*/, int /*isBase*/) {}
