#include "importer/clean.h"

#include <meshoptimizer.h>

namespace importer {

namespace {

// The cross product of two edges in double precision is exact enough to tell
// a face with some area from one whose corners lie on a line.
bool hasArea(const Mesh& mesh, const unsigned* corner) {
  if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) return false;
  const view::Vec3 a = mesh.vertices[corner[0]];
  const view::Vec3 n = view::cross(mesh.vertices[corner[1]] - a, mesh.vertices[corner[2]] - a);
  return n.x != 0.0 || n.y != 0.0 || n.z != 0.0;
}

// `values`, `perVertex` entries per vertex, moved where `remap` sends each
// vertex (~0u: dropped); `kept` vertices remain.
template <typename T>
std::vector<T> remapped(const std::vector<T>& values, size_t perVertex,
                        const std::vector<unsigned>& remap, size_t kept) {
  if (values.empty()) return {};
  std::vector<T> out(kept * perVertex);
  meshopt_remapVertexBuffer(out.data(), values.data(), remap.size(), perVertex * sizeof(T),
                            remap.data());
  return out;
}

// Every per-vertex array of `mesh` moved by `remap`, and the corners with them.
void remapVertices(Mesh& mesh, std::vector<unsigned>& corners, const std::vector<unsigned>& remap,
                   size_t kept) {
  meshopt_remapIndexBuffer(corners.data(), corners.data(), corners.size(), remap.data());
  mesh.vertices = remapped(mesh.vertices, 1, remap, kept);
  mesh.look.uv = remapped(mesh.look.uv, 2, remap, kept);
  mesh.look.rgb = remapped(mesh.look.rgb, 3, remap, kept);
}

}  // namespace

std::vector<float> positionBuffer(const Mesh& mesh) {
  std::vector<float> out;
  out.reserve(3 * mesh.vertices.size());
  for (const view::Vec3& v : mesh.vertices) {
    out.insert(out.end(),
               {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)});
  }
  return out;
}

std::vector<unsigned> indexBuffer(const Mesh& mesh) {
  std::vector<unsigned> out;
  out.reserve(3 * mesh.faces.size());
  for (const dataset::Face& f : mesh.faces) {
    for (int c : f) out.push_back(static_cast<unsigned>(c));
  }
  return out;
}

void setFaces(Mesh& mesh, const unsigned* corners, size_t count) {
  mesh.faces.clear();
  mesh.faces.reserve(count / 3);
  for (size_t i = 0; i + 2 < count; i += 3) {
    mesh.faces.push_back({static_cast<int>(corners[i]), static_cast<int>(corners[i + 1]),
                          static_cast<int>(corners[i + 2])});
  }
}

void compactVertices(Mesh& mesh) {
  if (mesh.faces.empty()) {
    mesh.vertices.clear();
    mesh.look = {};
    return;
  }
  std::vector<unsigned> corners = indexBuffer(mesh);
  std::vector<unsigned> remap(mesh.vertices.size());
  const size_t kept = meshopt_optimizeVertexFetchRemap(remap.data(), corners.data(), corners.size(),
                                                       mesh.vertices.size());
  remapVertices(mesh, corners, remap, kept);
  setFaces(mesh, corners.data(), corners.size());
}

Mesh cleanMesh(const Mesh& mesh, CleanReport& report) {
  report = {};
  report.verticesIn = mesh.vertices.size();
  report.facesIn = mesh.faces.size();
  if (mesh.faces.empty()) return {};  // nothing drawn, nothing kept

  // Vertices join when their bytes agree, so 0 and -0 are made one first;
  // a vertex's texture coordinates and colour must agree too.
  Mesh joined = mesh;
  for (view::Vec3& v : joined.vertices) v = v + view::Vec3{};
  for (float& c : joined.look.uv) c += 0.0f;
  std::vector<meshopt_Stream> streams = {
      {joined.vertices.data(), sizeof(view::Vec3), sizeof(view::Vec3)}};
  if (!joined.look.uv.empty()) {
    streams.push_back({joined.look.uv.data(), 2 * sizeof(float), 2 * sizeof(float)});
  }
  if (!joined.look.rgb.empty()) streams.push_back({joined.look.rgb.data(), 3, 3});

  std::vector<unsigned> corners = indexBuffer(mesh);
  std::vector<unsigned> remap(mesh.vertices.size());
  const size_t unique =
      meshopt_generateVertexRemapMulti(remap.data(), corners.data(), corners.size(),
                                       mesh.vertices.size(), streams.data(), streams.size());
  remapVertices(joined, corners, remap, unique);

  std::vector<unsigned> kept;
  kept.reserve(corners.size());
  for (size_t f = 0; f < corners.size(); f += 3) {
    if (hasArea(joined, &corners[f])) kept.insert(kept.end(), &corners[f], &corners[f] + 3);
  }
  setFaces(joined, kept.data(), kept.size());
  compactVertices(joined);
  report.verticesOut = joined.vertices.size();
  report.facesOut = joined.faces.size();
  return joined;
}

}  // namespace importer
