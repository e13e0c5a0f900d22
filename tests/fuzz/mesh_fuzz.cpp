// Arbitrary bytes as a mesh file, read as the base and as the lid mesh and
// prepared; every face kept must name vertices that exist.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "mesh/prepare.h"
#include "mesh/reader.h"

namespace {

void checkFaces(const std::vector<Tri>& faces, size_t vertexCount) {
  for (const Tri& f : faces) {
    for (int corner : {f.corner1, f.corner2, f.corner3}) {
      if (corner < 1 || static_cast<size_t>(corner) > vertexCount) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  MeshState m;
  std::ostringstream commentary;  // written in full, never looked at
  for (int isBase : {1, 0}) {
    std::istringstream in(bytes);
    readStream(m, in, isBase, "fuzz.m", commentary);
    prepareMesh(m, isBase, commentary);
  }
  checkFaces(m.lighterBaseTriangles, m.lighterBaseVertices.size());
  checkFaces(m.lighterTopTriangles, m.lighterTopVertices.size());
  if (m.lighterBaseNormals.size() != m.lighterBaseVertices.size() ||
      m.lighterTopNormals.size() != m.lighterTopVertices.size()) {
    std::abort();
  }
  return 0;
}
