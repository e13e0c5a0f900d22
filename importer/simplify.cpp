#include "importer/simplify.h"

#include <meshoptimizer.h>

#include "importer/clean.h"

namespace importer {

namespace {

// No bound on the error: the face budget decides how far to go, and the
// simplifier collapses the cheapest edges first.
constexpr float kAnyError = 1.0f;

constexpr size_t kStride = 3 * sizeof(float);

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
