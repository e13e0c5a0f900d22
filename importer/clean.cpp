#include "importer/clean.h"

#include <meshoptimizer.h>

#include "view/view_model.h"

namespace importer {

namespace {

view::Vec3 pointAt(const SourceMesh& mesh, std::uint32_t vertex) {
  const float* p = &mesh.positions[static_cast<size_t>(vertex) * 3];
  return {p[0], p[1], p[2]};
}

// The cross product of two edges in double precision is exact enough to tell
// a face with some area from one whose corners lie on a line.
bool hasArea(const SourceMesh& mesh, const std::uint32_t* corner) {
  if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) return false;
  const view::Vec3 a = pointAt(mesh, corner[0]);
  const view::Vec3 n = view::cross(pointAt(mesh, corner[1]) - a, pointAt(mesh, corner[2]) - a);
  return n.x != 0.0 || n.y != 0.0 || n.z != 0.0;
}

}  // namespace

void compactVertices(SourceMesh& mesh) {
  if (mesh.indices.empty()) {
    mesh.positions.clear();
    return;
  }
  std::vector<float> positions(mesh.positions.size());
  const size_t kept =
      meshopt_optimizeVertexFetch(positions.data(), mesh.indices.data(), mesh.indices.size(),
                                  mesh.positions.data(), mesh.vertexCount(), 3 * sizeof(float));
  positions.resize(kept * 3);
  mesh.positions = std::move(positions);
}

SourceMesh cleanMesh(const SourceMesh& mesh, CleanReport& report) {
  report = {};
  report.verticesIn = mesh.vertexCount();
  report.facesIn = mesh.faceCount();
  if (mesh.indices.empty()) return {};  // nothing drawn, nothing kept

  // Vertices join when their bytes agree, so 0 and -0 are made one first.
  std::vector<float> positions = mesh.positions;
  for (float& c : positions) c += 0.0f;

  std::vector<unsigned int> remap(mesh.vertexCount());
  const size_t unique =
      meshopt_generateVertexRemap(remap.data(), mesh.indices.data(), mesh.indices.size(),
                                  positions.data(), mesh.vertexCount(), 3 * sizeof(float));
  SourceMesh joined;
  joined.positions.resize(unique * 3);
  meshopt_remapVertexBuffer(joined.positions.data(), positions.data(), mesh.vertexCount(),
                            3 * sizeof(float), remap.data());
  std::vector<std::uint32_t> indices(mesh.indices.size());
  meshopt_remapIndexBuffer(indices.data(), mesh.indices.data(), mesh.indices.size(), remap.data());

  joined.indices.reserve(indices.size());
  for (size_t f = 0; f < indices.size(); f += 3) {
    if (hasArea(joined, &indices[f])) {
      joined.indices.insert(joined.indices.end(), &indices[f], &indices[f] + 3);
    }
  }
  compactVertices(joined);
  report.verticesOut = joined.vertexCount();
  report.facesOut = joined.faceCount();
  return joined;
}

}  // namespace importer
