#include "importer/simplify.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "importer/clean.h"

namespace importer {

namespace {

// No bound on the error: the face budget decides how far to go, and the
// simplifier collapses the cheapest edges first.
constexpr float kAnyError = 1.0f;

constexpr size_t kStride = 3 * sizeof(float);

// Twice the face's area: the length of the cross product of two edges.
double doubleArea(const Mesh& mesh, const dataset::Face& f) {
  const view::Vec3 a = mesh.vertices[static_cast<size_t>(f[0])];
  const view::Vec3 n = view::cross(mesh.vertices[static_cast<size_t>(f[1])] - a,
                                   mesh.vertices[static_cast<size_t>(f[2])] - a);
  return std::hypot(n.x, n.y, n.z);
}

// The last resort when clustering collapses every face at once (a fan of
// thin faces, or many small separate ones, fall into single grid cells
// together): the `maxFaces` largest faces, which draw most of the picture,
// in file order.
size_t largestFaces(const Mesh& mesh, size_t maxFaces, unsigned* out) {
  std::vector<size_t> order(mesh.faces.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::vector<double> area(order.size());
  for (size_t f : order) area[f] = doubleArea(mesh, mesh.faces[f]);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return area[a] > area[b]; });
  order.resize(std::min(maxFaces, order.size()));
  std::sort(order.begin(), order.end());
  for (size_t f : order) {
    for (int c : mesh.faces[f]) *out++ = static_cast<unsigned>(c);
  }
  return 3 * order.size();
}

}  // namespace

Mesh simplifyMesh(const Mesh& mesh, size_t maxFaces, SimplifyReport& report) {
  report = {};
  report.facesIn = report.facesOut = mesh.faces.size();
  if (maxFaces == 0 || mesh.faces.size() <= maxFaces) return mesh;

  const size_t target = maxFaces * 3;
  const std::vector<float> positions = positionBuffer(mesh);
  const std::vector<unsigned> corners = indexBuffer(mesh);
  std::vector<unsigned> kept(corners.size());
  float error = 0.0f;
  size_t count = meshopt_simplify(kept.data(), corners.data(), corners.size(), positions.data(),
                                  mesh.vertices.size(), kStride, target, kAnyError, 0, &error);
  if (count > target) {
    // Borders and seams the simplifier keeps whole can stop it short of the
    // budget; the sloppy one clusters vertices on a grid and always gets there.
    count = meshopt_simplifySloppy(kept.data(), corners.data(), corners.size(), positions.data(),
                                   mesh.vertices.size(), kStride, target, kAnyError, &error);
    report.sloppy = true;
    if (count == 0) count = largestFaces(mesh, maxFaces, kept.data());
  }
  if (count > target || count == 0) {
    throw ImportError("cannot simplify the model to " + std::to_string(maxFaces) +
                      " faces (the simplifier stopped at " + std::to_string(count / 3) + ")");
  }
  // The simplifier keeps some of the vertices, never makes new ones: each
  // one left keeps its texture coordinates and colour.
  Mesh out = mesh;
  setFaces(out, kept.data(), count);
  compactVertices(out);
  report.facesOut = out.faces.size();
  report.error = error;
  return out;
}

}  // namespace importer
