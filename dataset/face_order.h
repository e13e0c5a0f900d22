// The order in which a mesh's faces are written, for the program's drawing.
#pragma once

#include <vector>

#include "dataset/mesh.h"

namespace dataset {

// Faces are drawn in file order with additive blending and the depth test
// (less, depth writes on). A face drawn after a nearer one is rejected where
// they overlap, but a face drawn after a farther one adds its colour onto it.
// Drawing each mesh nearest first from the program's fixed viewpoint lets the
// depth test throw away the hidden faces behind, so the model reads as a
// solid object instead of a glow of every layer added up. The key is the
// depth of the face's centre in front of the camera; faces at one depth keep
// their order. `world` holds each vertex of `mesh` where the program's view
// puts it.
void sortNearestFirst(Mesh& mesh, const std::vector<Vec3>& world);

}  // namespace dataset
