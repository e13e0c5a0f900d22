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
double doubleArea(const SourceMesh& mesh, size_t face) {
  const float* a = &mesh.positions[3 * size_t{mesh.indices[3 * face]}];
  const float* b = &mesh.positions[3 * size_t{mesh.indices[3 * face + 1]}];
  const float* c = &mesh.positions[3 * size_t{mesh.indices[3 * face + 2]}];
  const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
  const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  return std::hypot(u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                    u[0] * v[1] - u[1] * v[0]);
}

// The last resort when clustering collapses every face at once (a fan of
// thin faces, or many small separate ones, fall into single grid cells
// together): the `maxFaces` largest faces, which draw most of the picture,
// in file order.
size_t largestFaces(const SourceMesh& mesh, size_t maxFaces, std::uint32_t* out) {
  std::vector<size_t> order(mesh.faceCount());
  std::iota(order.begin(), order.end(), size_t{0});
  std::vector<double> area(order.size());
  for (size_t f : order) area[f] = doubleArea(mesh, f);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return area[a] > area[b]; });
  order.resize(std::min(maxFaces, order.size()));
  std::sort(order.begin(), order.end());
  for (size_t f : order) out = std::copy_n(&mesh.indices[3 * f], 3, out);
  return 3 * order.size();
}

}  // namespace

SourceMesh simplifyMesh(const SourceMesh& mesh, size_t maxFaces, SimplifyReport& report) {
  report = {};
  report.facesIn = report.facesOut = mesh.faceCount();
  if (maxFaces == 0 || mesh.faceCount() <= maxFaces) return mesh;

  const size_t target = maxFaces * 3;
  SourceMesh out;
  out.indices.resize(mesh.indices.size());
  float error = 0.0f;
  size_t count = meshopt_simplify(out.indices.data(), mesh.indices.data(), mesh.indices.size(),
                                  mesh.positions.data(), mesh.vertexCount(), kStride, target,
                                  kAnyError, 0, &error);
  if (count > target) {
    // Borders and seams the simplifier keeps whole can stop it short of the
    // budget; the sloppy one clusters vertices on a grid and always gets there.
    count = meshopt_simplifySloppy(out.indices.data(), mesh.indices.data(), mesh.indices.size(),
                                   mesh.positions.data(), mesh.vertexCount(), kStride, target,
                                   kAnyError, &error);
    report.sloppy = true;
    if (count == 0) count = largestFaces(mesh, maxFaces, out.indices.data());
  }
  if (count > target || count == 0) {
    throw ImportError("cannot simplify the model to " + std::to_string(maxFaces) +
                      " faces (the simplifier stopped at " + std::to_string(count / 3) + ")");
  }
  out.indices.resize(count);
  // The simplifier keeps some of the vertices, never makes new ones: each
  // one left keeps its texture coordinates and colour.
  out.positions = mesh.positions;
  out.look = mesh.look;
  compactVertices(out);
  report.facesOut = out.faceCount();
  report.error = error;
  return out;
}

}  // namespace importer
