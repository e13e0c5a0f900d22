#include "tools/bench/cpu_work.h"

#include <cstddef>
#include <cstdlib>
#include <vector>

namespace bench {
namespace {

bool indexes(int corner, const std::vector<Vector3>& array) {
  return corner >= 1 && static_cast<size_t>(corner) <= array.size();
}

float walk(const std::vector<Tri>& faces, const std::vector<Vector3>& vertices,
           const std::vector<Vector3>& normals, bool smooth) {
  float sum = 0.0f;
  for (const Tri& face : faces) {
    const int corners[3] = {face.corner1, face.corner2, face.corner3};
    bool drawable = true;
    for (int c : corners) {
      drawable = drawable && indexes(c, vertices) && (!smooth || indexes(c, normals));
    }
    if (!drawable) continue;
    for (int c : corners) {
      const size_t at = static_cast<size_t>(c - 1);
      if (smooth) sum += normals[at].x + normals[at].y + normals[at].z;
      sum += vertices[at].x + vertices[at].y + vertices[at].z;
    }
  }
  return sum;
}

}  // namespace

float traverseMeshes(const MeshState& m, bool smooth) {
  return walk(m.lighterTopTriangles, m.lighterTopVertices, m.lighterTopNormals, smooth) +
         walk(m.lighterBaseTriangles, m.lighterBaseVertices, m.lighterBaseNormals, smooth);
}

void particlePassWithoutGl(FlameState& flame) { particlePass(flame, std::rand, nullptr); }

}  // namespace bench
