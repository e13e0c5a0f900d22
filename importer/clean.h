// Stage 2: one vertex per position, and only faces with an area.
#pragma once

#include <vector>

#include "importer/records.h"

namespace importer {

struct CleanReport {
  size_t verticesIn = 0;
  size_t verticesOut = 0;
  size_t facesIn = 0;
  size_t facesOut = 0;
};

// Joins vertices at the same position (files split them by normal or
// texture coordinate, and the program averages normals per vertex) and with
// the same look (texture coordinates and colour, when the mesh has them), drops
// faces that name a vertex twice or whose corners lie on one line (the
// program would give them a normal that is not a number) and keeps only the
// vertices that faces name, in the order faces first use them.
Mesh cleanMesh(const Mesh& mesh, CleanReport& report);

// Keeps the vertices that `mesh`'s faces name, in the order of first use,
// with their look.
void compactVertices(Mesh& mesh);

// The buffers meshoptimizer works on: the positions as floats (every
// coordinate the reader gives is one, and orienting keeps them so), and the
// corners as one list; and the faces back from such a list.
std::vector<float> positionBuffer(const Mesh& mesh);
std::vector<unsigned> indexBuffer(const Mesh& mesh);
void setFaces(Mesh& mesh, const unsigned* corners, size_t count);

}  // namespace importer
