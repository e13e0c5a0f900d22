// Completes a mesh once it is read: a printed check of its first vertices and
// faces, the model's scale divisor, the centre and the per-vertex normals.
#include "mesh/prepare.h"

#include "mesh/measure.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A coordinate as "%f" prints it: six decimals, "nan" and "inf" as C spells
// them. Up to 39 digits before the point for a float.
std::string fixed(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

void printVertex(const char* which, const std::vector<Vector3>& vertices, size_t k,
                 std::ostream& out) {
  const Vector3& v = vertices[k];
  out << which << " vertex: " << fixed(v.x) << " " << fixed(v.y) << " " << fixed(v.z) << " \n";
}

void printFace(const char* which, const std::vector<Tri>& faces, size_t k, std::ostream& out) {
  if (k < faces.size()) {
    const Tri& f = faces[k];
    out << which << " face: " << f.corner1 << " " << f.corner2 << " " << f.corner3 << " \n";
  }
}

// The first three vertices and faces, for meshes of more than 4 vertices.
void printDiagnostics(const std::vector<Vector3>& vertices, const std::vector<Tri>& faces,
                      std::ostream& out) {
  if (vertices.size() <= 4) {
    return;
  }
  const char* const which[] = {"first", "second", "third"};
  for (size_t k = 0; k < 3; ++k) {
    printVertex(which[k], vertices, k, out);
    printFace(which[k], faces, k, out);
  }
}

void addTo(std::vector<Vector3>& normals, int corner, const Vector3& n) {
  // The reader only keeps faces whose corners name existing vertices; the
  // check keeps a hand-built mesh from writing outside the array.
  if (corner < 1 || static_cast<size_t>(corner) > normals.size()) {
    return;
  }
  Vector3& sum = normals[static_cast<size_t>(corner) - 1];
  sum.x += n.x;
  sum.y += n.y;
  sum.z += n.z;
}

// One normal per vertex: the sum of the normals of the faces that name it,
// divided by 5.0 (not scaled to unit length).
void buildVertexNormals(std::vector<Vector3>& normals, size_t vertexCount,
                        const std::vector<Tri>& faces) {
  normals.assign(vertexCount, Vector3{});
  for (const Tri& f : faces) {
    addTo(normals, f.corner1, f.normal);
    addTo(normals, f.corner2, f.normal);
    addTo(normals, f.corner3, f.normal);
  }
  for (Vector3& n : normals) {
    n.x = static_cast<float>(n.x / 5.0);
    n.y = static_cast<float>(n.y / 5.0);
    n.z = static_cast<float>(n.z / 5.0);
  }
}

}  // namespace

void prepareMesh(MeshState& m, int isBase, std::ostream& out) {
  if (isBase != 0) {
    printDiagnostics(m.lighterBaseVertices, m.lighterBaseTriangles, out);
    // An empty base mesh leaves the divisor at 1.0: the box's start values
    // would give about -1.2e38 and make the lid vanish as well.
    if (!m.lighterBaseVertices.empty()) {
      m.max_extent = boxExtent(m);
    }
    divideCentre(m.centerBase, m.lighterBaseVertices.size());
    buildVertexNormals(m.lighterBaseNormals, m.lighterBaseVertices.size(), m.lighterBaseTriangles);
  } else {
    printDiagnostics(m.lighterTopVertices, m.lighterTopTriangles, out);
    divideCentre(m.centerTop, m.lighterTopVertices.size());
    buildVertexNormals(m.lighterTopNormals, m.lighterTopVertices.size(), m.lighterTopTriangles);
  }
}
