// The mesh record a data set is built from and written as: the one record the
// shipped lighter's design and the importer's framing both end in.
#pragma once

#include <array>
#include <vector>

#include "look/look.h"
#include "view/view_model.h"

namespace dataset {

using view::Vec3;

// Three 0-based corners. Their order is the face's winding: the program takes
// a face's normal from it (counter-clockwise seen from outside is outward),
// and maps the corners to the texture points (0,0), (0,1), (1,1).
using Face = std::array<int, 3>;

// Vertices and faces. Per-vertex attributes, when a mesh carries any, sit in
// vectors of their own beside `vertices`, one entry per vertex at the same
// position, so that whatever reorders or drops vertices moves them alike;
// reordering faces (as sortNearestFirst does) leaves them alone. `look` is
// empty, or holds an entry for every vertex: written as the mesh's sidecar.
struct Mesh {
  std::vector<Vec3> vertices;
  std::vector<Face> faces;
  MeshLook look;
};

}  // namespace dataset
