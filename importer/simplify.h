// Stage 4: at most a given number of faces, keeping the model's shape.
#pragma once

#include "importer/records.h"

namespace importer {

struct SimplifyReport {
  size_t facesIn = 0;
  size_t facesOut = 0;
  double error = 0.0;   // the largest deviation, relative to the model's size
  bool sloppy = false;  // the topology-keeping simplifier could not get there
};

// Returns `mesh` unchanged when it has at most `maxFaces` faces (or when
// `maxFaces` is 0); otherwise simplifies it with meshoptimizer down to at
// most `maxFaces`, and keeps only the vertices the new faces name.
Mesh simplifyMesh(const Mesh& mesh, size_t maxFaces, SimplifyReport& report);

}  // namespace importer
