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

// `values`, `perVertex` entries per vertex, moved where `remap` sends each
// vertex (~0u: dropped); `kept` vertices remain.
template <typename T>
std::vector<T> remapped(const std::vector<T>& values, size_t perVertex,
                        const std::vector<unsigned int>& remap, size_t kept) {
  if (values.empty()) return {};
  std::vector<T> out(kept * perVertex);
  meshopt_remapVertexBuffer(out.data(), values.data(), remap.size(), perVertex * sizeof(T),
                            remap.data());
  return out;
}

// Every per-vertex array of `mesh` moved by `remap`.
void remapVertices(SourceMesh& mesh, const std::vector<unsigned int>& remap, size_t kept) {
  mesh.positions = remapped(mesh.positions, 3, remap, kept);
  mesh.look.uv = remapped(mesh.look.uv, 2, remap, kept);
  mesh.look.rgb = remapped(mesh.look.rgb, 3, remap, kept);
}

}  // namespace

void compactVertices(SourceMesh& mesh) {
  if (mesh.indices.empty()) {
    mesh.positions.clear();
    mesh.look = {};
    return;
  }
  std::vector<unsigned int> remap(mesh.vertexCount());
  const size_t kept = meshopt_optimizeVertexFetchRemap(remap.data(), mesh.indices.data(),
                                                       mesh.indices.size(), mesh.vertexCount());
  meshopt_remapIndexBuffer(mesh.indices.data(), mesh.indices.data(), mesh.indices.size(),
                           remap.data());
  remapVertices(mesh, remap, kept);
}

SourceMesh cleanMesh(const SourceMesh& mesh, CleanReport& report) {
  report = {};
  report.verticesIn = mesh.vertexCount();
  report.facesIn = mesh.faceCount();
  if (mesh.indices.empty()) return {};  // nothing drawn, nothing kept

  // Vertices join when their bytes agree, so 0 and -0 are made one first;
  // a vertex's texture coordinates and colour must agree too.
  SourceMesh joined = mesh;
  for (float& c : joined.positions) c += 0.0f;
  for (float& c : joined.look.uv) c += 0.0f;
  std::vector<meshopt_Stream> streams = {
      {joined.positions.data(), 3 * sizeof(float), 3 * sizeof(float)}};
  if (!joined.look.uv.empty()) {
    streams.push_back({joined.look.uv.data(), 2 * sizeof(float), 2 * sizeof(float)});
  }
  if (!joined.look.rgb.empty()) streams.push_back({joined.look.rgb.data(), 3, 3});

  std::vector<unsigned int> remap(mesh.vertexCount());
  const size_t unique =
      meshopt_generateVertexRemapMulti(remap.data(), mesh.indices.data(), mesh.indices.size(),
                                       mesh.vertexCount(), streams.data(), streams.size());
  remapVertices(joined, remap, unique);
  std::vector<std::uint32_t> indices(mesh.indices.size());
  meshopt_remapIndexBuffer(indices.data(), mesh.indices.data(), mesh.indices.size(), remap.data());

  joined.indices.clear();
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
