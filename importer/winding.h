// Faces wound outward: the program takes each face's normal from the order of
// its corners, and lights by it in its own mode, so a face wound the wrong way
// shows dark from outside.
#pragma once

#include <cstddef>

#include "dataset/mesh.h"

namespace importer {

// Winds the faces of each connected piece of `mesh` alike (neighbours across
// an edge run along it in opposite directions) and outward (the piece's
// signed volume positive, so counter-clockwise seen from outside). A flat
// piece, without volume, keeps the winding most of its faces had. Returns
// how many faces were turned over. Only the corners' order changes.
size_t windOutward(dataset::Mesh& mesh);

}  // namespace importer
